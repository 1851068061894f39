#include "file_problem_text.h"

namespace scrivane {

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

} // namespace scrivane
