#pragma once

#include <stdexcept>
#include <string>

// The table engine reports every failure as an exception; the message is the
// text the user sees in the program's error report.
class EDatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EMemTableError : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};

class EMemTableInvalidLocale : public EMemTableError {
public:
    using EMemTableError::EMemTableError;
};

class EMemTableFatalError : public EMemTableError {
public:
    using EMemTableError::EMemTableError;
};

class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class EStringListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
