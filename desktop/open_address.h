#pragma once

#include <QString>

// How an attempt to open an address ended.
enum class TOpenAddressResult {
    Opened,
    // Empty, or not an address: a file name, a drive path, a web address
    // without a host. Files are never opened this way.
    NotAnAddress,
    // An address the desktop's opener refused (no program for its scheme).
    Refused,
};

// Opens a web or "mailto:" address with the user's browser or mail program
// through the desktop's standard opener (xdg-open and the portals behind
// QDesktopServices). A host name that starts with "www." is a web address;
// blanks around the text do not count. Does not wait for the started program
// and shows nothing.
TOpenAddressResult OpenAddress(const QString& address);
