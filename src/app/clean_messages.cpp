#include "clean_messages.h"

#include "platform/name_list_text.h"
#include "statement/finding_format.h"

namespace scrivane {

namespace {

const QString notEnoughMemory = QStringLiteral("not enough memory to clean this statement");

} // namespace

QString fileProblemText(const FileError& error)
{
    switch (error.problem) {
    case FileProblem::System:
        break;
    case FileProblem::NotPlainFile:
        return QStringLiteral("Not a plain file");
    case FileProblem::TooLarge:
        return QStringLiteral("File is larger than 1 GB, too large for a statement");
    case FileProblem::InexactName:
        return QStringLiteral("The name holds bytes that are not valid in the system's character encoding, so it "
                              "cannot be used exactly; rename the file and try again");
    case FileProblem::NoHome:
        return QStringLiteral("There is no home folder to hold a trash");
    case FileProblem::NameTooLongForTrash:
        return QStringLiteral("The name is too long for the trash");
    case FileProblem::NoTrash:
        return QStringLiteral("No trash can be made or written in the home folder");
    case FileProblem::GivenUp:
        return QStringLiteral("The write was given up");
    case FileProblem::Swapped:
        return QStringLiteral("Another file was put in the way as the written file took its name");
    }
    return error.reason;
}

QString cleanFailureMessage(const CleanFailure& failure, const QString& input, const QString& output)
{
    const QString reason = fileProblemText(failure.error);
    switch (failure.problem) {
    case CleanProblem::NotAStatement:
        return QStringLiteral("The file \"%1\" is not a statement that Scrivane can clean: %2.\r\n\r\n"
                              "It has not been changed.")
            .arg(input,
                 failure.kind == FileKind::Empty
                     ? QStringLiteral("it is empty")
                     : QStringLiteral("it looks like ") + QString::fromUtf8(fileKindName(failure.kind)));
    case CleanProblem::Unreadable:
        return QStringLiteral("The file \"%1\" could not be read:\r\n%2\r\n\r\nIt has not been changed.")
            .arg(input, reason);
    case CleanProblem::NotConvertible:
        return QStringLiteral("The file \"%1\" could not be converted:\r\n%2\r\n\r\nNothing was written.")
            .arg(input, reason);
    case CleanProblem::RuleCannotWrite:
        return QStringLiteral("The file \"%1\" could not be cleaned:\r\n%2\r\n\r\nIt has not been changed. "
                              "Change the rule's name in Payee Rules, or the statement's character set.")
            .arg(input, reason);
    case CleanProblem::Unwritable:
        return QStringLiteral("The cleaned file \"%1\" could not be written:\r\n%2\r\n\r\n"
                              "The statement \"%3\" has not been changed.")
            .arg(output, reason, input);
    case CleanProblem::NotPutAway:
        return QStringLiteral("The cleaned file was saved as \"%1\", but the original file \"%2\" could not be "
                              "deleted:\r\n%3\r\n\r\nBoth files are there now.")
            .arg(output, input, reason);
    case CleanProblem::ChangedAfter:
        return QStringLiteral("The cleaned file was saved as \"%1\", but the original file \"%2\" could not be "
                              "deleted:\r\nIt changed while it was being cleaned, so it was kept; both files stand"
                              "\r\n\r\nBoth files are there now.")
            .arg(output, input);
    case CleanProblem::OutOfMemory:
        return QStringLiteral("The file \"%1\" could not be cleaned: %2.\r\n\r\nIt has not been changed.")
            .arg(input, notEnoughMemory);
    case CleanProblem::Changed:
        return QStringLiteral("The statement changed while it was being cleaned; nothing was changed. Please try "
                              "again.");
    case CleanProblem::Vanished:
        return QStringLiteral("The file \"%1\" disappeared while it was being cleaned, so nothing was written.")
            .arg(input);
    case CleanProblem::WouldReplaceInput:
    case CleanProblem::QuestionsOpen:
    case CleanProblem::NotFound:
        break;
    }
    return QStringLiteral("File does not appear to exist. Please try again.");
}

QString replacedWithoutTrash(const CleanOutcome& outcome)
{
    if (outcome.replaced != Disposal::Deleted)
        return {};
    if (outcome.tookInputsName)
        return QStringLiteral("\r\n\r\nNo trash could take the statement as it was, so the cleaned file replaced it.");
    return QStringLiteral("\r\n\r\nNo trash could take the earlier \"%1\", so the cleaned file replaced it.")
        .arg(outcome.outputPath);
}

QString followedByFindings(QString message, Target target, const std::vector<Finding>& told)
{
    if (told.empty())
        return message;
    // Other's message ends in an empty line already; the others end in a sentence.
    if (!message.endsWith(QStringLiteral("\r\n\r\n")))
        message += QStringLiteral("\r\n\r\n");
    return message + quotingText(findingsSentence(told, target));
}

QString namesNotListedMessage(const QString& input)
{
    return QStringLiteral("The names in the file \"%1\" could not be listed: %2.").arg(input, notEnoughMemory);
}

QString bankFileNotListedMessage(const CleanFailure& failure, const QString& input)
{
    if (failure.problem == CleanProblem::NotConvertible)
        return QStringLiteral("The names in the file \"%1\" could not be listed: it could not be converted:\r\n%2")
            .arg(input, failure.error.reason);
    return QStringLiteral("Scrivane does not know yet how to read the file \"%1\". Press Clean File: it shows the "
                          "file's columns and asks what it cannot tell, and the names can then be listed.")
        .arg(input);
}

} // namespace scrivane
