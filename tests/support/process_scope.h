// One test's hold on every process-wide slot of the module and its host: the
// module's globals, the cached language and resource loader, the loaded
// ledger records, the error object, the settings store, the editor launcher,
// the user interface and the host session string.
//
// On construction the module's slots start as in a fresh process (empty,
// zero, false; an in-memory settings store; the module's own editor launcher;
// no pending error). The user interface and the session string are only
// saved: ScriptedUiScope and ScopedSession own them. On destruction every
// slot gets its saved value back, so a test may set any of them freely.
//
// Declare it after the fixture's company, session and user-interface members
// (before any window): it is then destroyed before them, and the shared
// connection closes before the company file goes away.
#pragma once

#include <functional>
#include <vector>

namespace orva::test {

class ProcessScope {
  public:
    ProcessScope();
    ~ProcessScope();
    ProcessScope(const ProcessScope&) = delete;
    ProcessScope& operator=(const ProcessScope&) = delete;

  private:
    // Sets the slot to `fresh` and remembers how to put its value back.
    template <class T>
    void Keep(T& slot, T fresh);

    std::vector<std::function<void()>> restore_;
};

}  // namespace orva::test
