#pragma once
// The toolkit's fonts: GNU FreeSans and FreeSansBold, compiled into the
// resources. Both files carry the family name "FreeSans"; registering them
// also makes the name "FreeSansBold" resolve to that family, so that
// QFont("FreeSansBold", size, QFont::Bold) picks the bold face.

namespace ko {

// Adds ":/images/FreeSans.ttf" and ":/images/FreeSansBold.ttf" to the
// application fonts (once per process) and installs the "FreeSansBold"
// substitution. Safe to call any number of times, on the GUI thread.
void register_fonts();

} // namespace ko
