// How deep a recursive reader may go into nested text: parentheses,
// subqueries, NOT and sign chains, chains of operators, IF and BEGIN bodies,
// groups of a record-set filter. Every level costs stack; past the limit the
// text is refused with an error instead of overflowing the stack and killing
// the process. No text the module builds comes near the limit.
#pragma once

namespace orva {

class NestingDepth {
  public:
    static constexpr int kMaxLevels = 128;

    // Levels taken by one recursive call, given back when it returns or
    // throws. `tooDeep` is called, and must throw, when a level would pass
    // the limit.
    class Scope {
      public:
        // A scope that takes its levels later, through Deeper.
        explicit Scope(NestingDepth& depth) : depth_(depth) {}
        template <typename TooDeep>
        Scope(NestingDepth& depth, TooDeep&& tooDeep) : depth_(depth) {
            Deeper(tooDeep);
        }
        ~Scope() { depth_.levels_ -= taken_; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

        // One more level for this scope (an operator chain grows its tree one
        // level per operator without a recursive call).
        template <typename TooDeep>
        void Deeper(TooDeep&& tooDeep) {
            if (depth_.levels_ >= kMaxLevels)
                tooDeep();
            ++depth_.levels_;
            ++taken_;
        }

      private:
        NestingDepth& depth_;
        int taken_ = 0;
    };

    int Levels() const { return levels_; }

  private:
    int levels_ = 0;
};

}  // namespace orva
