// The progress of a batch over a group: one step per member, named by the
// member's code and name, and the user's Cancel.
//
// One rule for Cancel in every batch: once the user's Cancel is taken,
// nothing more is written; what was written before it stays. A batch add
// writes member by member, so the members added before the Cancel keep their
// entries. A batch update collects every member's change and sends them as
// one text at the end, and a batch delete counts the members before it
// deletes them in one text: a Cancel before that text is sent writes
// nothing. The closing message says which of these happened.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/progress.h"

namespace orva {

class AppConnection;

namespace batch {

class MemberProgress {
  public:
    // Begins the progress of `caption` (already localised) over the members,
    // customers or items, whose codes (short ones with `shortNumber`) and
    // names are read through `db`.
    MemberProgress(const std::string& caption, const std::vector<std::int32_t>& members, bool items,
                   AppConnection& db, bool shortNumber);

    // Member `index` is the one written next; false when the user stopped
    // the batch (the member is then not begun).
    bool Next(std::size_t index);
    // Reports `done` members finished at once (work that goes by lists of
    // members); false when the user stopped.
    bool Advance(std::size_t done);
    // Reports every member finished, before a batch that writes at the end
    // sends its text: a Cancel pressed while the last member was looked at
    // is taken here. False when the user stopped.
    bool Finish() { return Advance(members_.size()); }
    // The user stopped the batch.
    bool Stopped() const { return scope_.Cancelled(); }
    // Closes the progress window before the closing message.
    void End() { scope_.End(); }

  private:
    // The member's code and name, read when the progress will show them.
    std::string Label(std::size_t index);

    ProgressScope scope_;
    const std::vector<std::int32_t>& members_;
    bool items_;
    AppConnection& db_;
    bool shortNumber_;
};

// The closing message: "<prefix><count><suffix>", and below it, when the
// user stopped the batch, `stopNote` (localised), which says what was and
// was not written. An empty note: the batch ran to its end.
std::string ClosingText(const std::string& prefix, std::int64_t count, const std::string& suffix,
                        const std::string& stopNote);

}  // namespace batch
}  // namespace orva
