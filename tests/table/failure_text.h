#pragma once

// The class and message of what an operation raises, for comparing errors
// by value in the table tests.

#include "table/errors.h"

#include <QString>

#include <exception>
#include <functional>

// "<exception class><separator><message>" of what fn raises, or "no error".
// The most derived class of the table's errors is named.
inline QString FailureText(const std::function<void()>& fn, const QString& separator)
{
    const auto text = [&separator](const char* cls, const std::exception& e) {
        return QString(cls) + separator + QString::fromUtf8(e.what());
    };
    try {
        fn();
    } catch (const EMemTableFatalError& e) {
        return text("EMemTableFatalError", e);
    } catch (const EMemTableInvalidLocale& e) {
        return text("EMemTableInvalidLocale", e);
    } catch (const EMemTableError& e) {
        return text("EMemTableError", e);
    } catch (const EDatabaseError& e) {
        return text("EDatabaseError", e);
    } catch (const EConvertError& e) {
        return text("EConvertError", e);
    } catch (const EStringListError& e) {
        return text("EStringListError", e);
    } catch (const EFCreateError& e) {
        return text("EFCreateError", e);
    } catch (const EFOpenError& e) {
        return text("EFOpenError", e);
    } catch (const EWriteError& e) {
        return text("EWriteError", e);
    } catch (const EStreamError& e) {
        return text("EStreamError", e);
    } catch (const std::exception& e) {
        return text("std::exception", e);
    }
    return "no error";
}
