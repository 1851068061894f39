#pragma once

#include "convert/bank_file.h"
#include "file_services.h"

#include <QByteArray>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace scrivane {

// How to read a bank's CSV or QIF file, for a clean, a preview or a list.
struct BankFileRequest
{
    // What this run says (the command line's options, the mapping window's
    // answers), over the profile stored for the file's layout.
    Mapping given;
    // The profile stored for a layout, by the layout's key; nothing when none.
    std::function<std::optional<Mapping>(const std::string& layoutKey)> profileFor;
    // Ask before the first clean of a layout that has no stored profile, even
    // when the file settles everything, so that the user sees how it is read.
    bool askUnlessStored = false;
};

// What must be asked before a bank's file can be converted: the file as read
// and laid out, and its reading with what it settled and what it asks.
struct BankFileQuestions
{
    std::string layoutKey;
    bool profileStored = false;
    BankFile file;
    StatementReading reading;
};

} // namespace scrivane
