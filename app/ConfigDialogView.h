#pragma once
// The toolkit side of the configuration dialog: it draws the controls that
// cConfigDialog describes and forwards the user's changes to it.

#include <string>

namespace brevonne {

class cConfigDialog;

// Creates the dialog, lets the procedure initialise it, shows it modally and
// returns once the procedure has ended it. False, with the toolkit's reason,
// when the dialog cannot be shown.
bool RunConfigDialogView(cConfigDialog& dialog, std::string& reason);

} // namespace brevonne
