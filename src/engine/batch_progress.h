// The progress of a batch over a group: one step per member, named by the
// member's code and name, and the user's Cancel, which stops the batch after
// the member being written.
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
    // customers or items, whose codes and names are read through `db`.
    MemberProgress(const std::string& caption, const std::vector<std::int32_t>& members, bool items,
                   AppConnection& db);

    // Member `index` is the one written next; false when the user stopped
    // the batch (the member is then not begun).
    bool Next(std::size_t index);
    // Reports `done` members finished at once (work that goes by lists of
    // members); false when the user stopped.
    bool Advance(std::size_t done);
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
};

// The closing message: "<prefix><count><suffix>", and when the user stopped
// the batch a second line saying so.
std::string ClosingText(const std::string& prefix, std::int64_t count, const std::string& suffix,
                        bool stopped);

}  // namespace batch
}  // namespace orva
