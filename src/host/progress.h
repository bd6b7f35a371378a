// Progress of long work (a batch over a group, a large ledger or tree, a
// print run or an export) as the host's user interface shows it: a caption,
// how many of how many steps are done, a text naming what is worked on now,
// and a way for the user to stop.
//
// The work runs on the user-interface thread, so a receiver gets its chance
// to repaint and to take the user's Cancel only while a step is reported.
// Work that can be stopped asks after every step and, once the user
// cancelled, finishes the step it is in and reports no further one.
//
//   ProgressScope progress(GetResText("批量新增"), members.size());
//   for (std::size_t i = 0; i < members.size(); ++i) {
//       if (!progress.Step(i, progress.TextWanted() ? LabelOf(members[i]) : ""))
//           break;                    // the user stopped: member i is not begun
//       Write(members[i]);
//   }                                 // the scope ends the progress
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace orva {

// What a user interface implements to show progress (HostUi::CreateProgress).
// Calls come in the order Begin, any number of Step and Cancelled, End.
class Progress {
  public:
    virtual ~Progress() = default;

    // The work starts: its caption (the window title), the number of steps
    // (0 when unknown), the first text, and whether the user may stop it.
    virtual void Begin(const std::string& caption, std::int64_t total, const std::string& text,
                       bool cancellable) = 0;
    // `done` steps are finished (0 <= done < total while work remains) and
    // `text` names what is worked on now. The receiver may let the window
    // repaint and take the user's input here. Work that writes only once
    // every step is done reports done == total before it writes, and asks
    // Cancelled: the receiver takes the user's input on that report.
    virtual void Step(std::int64_t done, const std::string& text) = 0;
    // True once the user asked to stop; stays true until End. Always false
    // for work begun as not cancellable.
    virtual bool Cancelled() = 0;
    // Whether the next Step will show its text. A receiver that shows texts
    // only now and then says no in between, and the work spares itself
    // building texts nobody sees (it passes an empty one, which keeps the
    // text shown).
    virtual bool TextWanted() { return true; }
    // The work is over, finished or stopped; the receiver closes what it
    // showed. Called once, also after an error.
    virtual void End() = 0;
};

// Reports one piece of long work to the current user interface for its
// lifetime. When the interface shows no progress (a headless run, a caller
// that turned it off) every call costs a test and nothing more, and Step
// always answers "go on".
class ProgressScope {
  public:
    ProgressScope(const std::string& caption, std::int64_t total, const std::string& text = {},
                  bool cancellable = true);
    ~ProgressScope();
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    // Someone watches.
    bool Watched() const { return receiver_ != nullptr; }
    // The text of the next Step will be shown: worth building.
    bool TextWanted() const { return receiver_ && !cancelled_ && receiver_->TextWanted(); }
    // Reports the step; false when the user has cancelled (the caller stops
    // before beginning the step).
    bool Step(std::int64_t done, const std::string& text = {});
    // The user stopped the work (sticky: also true after the scope was ended).
    bool Cancelled() const { return cancelled_; }
    // Ends the progress now (the destructor does it otherwise), so that a
    // closing message is not shown under the progress window.
    void End();

  private:
    std::unique_ptr<Progress> receiver_;
    bool cancelled_ = false;
};

}  // namespace orva
