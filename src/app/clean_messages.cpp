#include "clean_messages.h"

namespace scrivane {

QString cleanFailureMessage(const CleanFailure& failure, const QString& input, const QString& output)
{
    const QString reason = failure.error.reason;
    switch (failure.step) {
    case CleanStep::Read:
        return QStringLiteral("The file \"%1\" could not be read:\r\n%2\r\n\r\nIt has not been changed.")
            .arg(input, reason);
    case CleanStep::Write:
        return QStringLiteral("The cleaned file \"%1\" could not be written:\r\n%2\r\n\r\n"
                              "The statement \"%3\" has not been changed.")
            .arg(output, reason, input);
    case CleanStep::Delete:
        return QStringLiteral("The cleaned file was saved as \"%1\", but the original file \"%2\" could not be "
                              "deleted:\r\n%3\r\n\r\nBoth files are there now.")
            .arg(output, input, reason);
    case CleanStep::Memory:
        return QStringLiteral("The file \"%1\" could not be cleaned: %2.\r\n\r\nIt has not been changed.")
            .arg(input, reason);
    case CleanStep::Changed:
        return changedWhileCleaning;
    case CleanStep::Find:
        break;
    }
    return QStringLiteral("File does not appear to exist. Please try again.");
}

} // namespace scrivane
