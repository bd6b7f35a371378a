// Function rights (may a command run?) and the tests that switch data rights
// (which customers, items and currencies a user sees) on. The data-rights
// fragments themselves are built in session/rights_filter.h.
#pragma once

#include <cstdint>

#include "host/item_classes.h"
#include "session/module_context.h"

namespace orva {

// Function objects: 107 when the session's "SubID" is exactly "ar", else 1099.
inline constexpr std::int32_t kFunctionObjectAR = 107;
inline constexpr std::int32_t kFunctionObjectDefault = 1099;
// The second argument of every function-right check.
inline constexpr std::int32_t kFunctionRightIndex = 6;

// Right bits of the module's commands.
inline constexpr std::int32_t kRightAudit = 0x1;        // audit, unaudit, batch auto-audit
inline constexpr std::int32_t kRightPrint = 0x8000;     // print, print preview
inline constexpr std::int32_t kRightDelete = 0x10000;   // delete, batch delete
inline constexpr std::int32_t kRightAdd = 0x20000;      // add, batch add
inline constexpr std::int32_t kRightModify = 0x400000;  // modify, batch update, minimum price

// The function object of the session: reads "SubID" (GetSessionProp, which
// raises when the session has none).
std::int32_t FunctionObjectID(ModuleContext& ctx);

// The current user is a member of group 1. False on any failure.
bool IsAdminUser(ModuleContext& ctx);
// The user's data rights are not enforced (FDataVokeType even). False on any
// failure, so a user without a t_User row is filtered unless in group 1.
bool DataVokeOff(ModuleContext& ctx);
// The user's rights for the item class are group-level (bit 4 of
// t_UserItemClassRight.FUserItemClassRight). False when there is no row.
bool HasItemClassRight(ModuleContext& ctx, std::int32_t classID);
// A statement gets the data-rights fragments: not IsAdminUser() and not
// DataVokeOff(). Evaluated anew on each call.
bool DataRightsApply(ModuleContext& ctx);

// Asks the host's GL data object (GetGLData) for the right. A refusal, or
// any error on the way, shows "没有权限,请与系统管理员联系" through the
// assistant and gives false.
bool CheckAccess(ModuleContext& ctx, std::int32_t objectID, std::int32_t index,
                 std::int32_t rightBit);
// What a command does first: CheckAccess(FunctionObjectID(), 6, rightBit).
// A command that writes (any right but print, outside selection mode) on a
// company file that may only be read (DbBackend::ReadOnlyFile) is then
// refused too, in a message box naming the file.
bool CheckFunctionRight(ModuleContext& ctx, std::int32_t rightBit);

}  // namespace orva
