// Shared inside the library only.
#pragma once

#include "Seams.h"

namespace classlib::detail {
// Copies of the current hooks (a hook may replace itself while it runs).
ModalHook CurrentModalHook();
FileDialogHook CurrentFileDialogHook();
// Registers the common control classes once (list views, up-downs, IP
// address controls, tooltips).
void EnsureCommonControls();
}  // namespace classlib::detail

namespace classlib::detail {
// Thrown by CDataExchange::Fail, caught by UpdateData.
struct DataExchangeFailure {};
}  // namespace classlib::detail
