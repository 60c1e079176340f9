#pragma once
// Turns the user's choice in the connection dialog into a new, closed link of the
// right kind, with no event bound; the caller owns it and opens it.
#include <memory>

#include "dialogs/comdialog.h"
#include "link/IOIface.h"

class TdatViewer;

// Shows the connection dialog filled from the store. On Ok the store takes the
// dialog's values, address the unit address (99: any) and the link is returned;
// on Cancel nothing changes and the result is empty.
std::unique_ptr<TIOIface> ConfigureIOInterface(TdatViewer& store, int& address,
                                               TComDialogModel model = TComDialogModel::W830);

// True for a dotted IPv4 address such as 10.0.0.5, false for a host name.
bool IsNumericIPv4(const QString& host);
