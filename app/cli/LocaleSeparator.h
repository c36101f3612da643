#pragma once
// The decimal separator of the user's locale, for every number torvane-cli
// reads from the command line or a file that follows the locale.

namespace torvane {

// Looks at LC_ALL / LC_NUMERIC, then puts the C locale back for everything
// else the program does.
char LocaleDecimalSeparator();

}  // namespace torvane
