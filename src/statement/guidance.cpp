#include "guidance.h"

namespace scrivane {

std::string_view targetWord(Target target)
{
    switch (target) {
    case Target::QuickBooks:
        return "QuickBooks";
    case Target::Quicken:
        return "Quicken";
    case Target::Other:
        break;
    }
    return "Other";
}

std::string_view targetLabel(Target target)
{
    return target == Target::Other ? std::string_view("your Other financial application") : targetWord(target);
}

std::string importGuidance(std::string_view word)
{
    if (word == "Other")
        return {};
    std::string text;
    if (word == "QuickBooks")
        text = "Import from the QuickBooks menu by picking File | Utilities | Import | Web Connect File.";
    text += "\r\n\r\nNOTE: When importing your OFX file, ";
    text += word;
    text += " will use a default Bank ID (BID) to connect & identify the Financial Institution, and you may see a "
            "Financial Institution that is different than your own. This may seem unusual, but it is harmless and "
            "you can still import the OFX file.";
    text += "\r\n\r\nClick the Help button for instructions on importing and processing your OFX file using ";
    text += word;
    text += ".";
    return text;
}

std::string notConvertedSentence(std::string_view reason)
{
    return "It was left in its XML form, which QuickBooks may refuse: it could not be converted to OFX 1.0.2 "
           "because "
        + std::string(reason) + ".";
}

std::string cleanedMessage(Target target, std::string_view notConverted)
{
    std::string text = "File cleaned! You may now import it into ";
    text += targetLabel(target);
    text += ".";
    if (!notConverted.empty())
        text += " " + notConvertedSentence(notConverted);
    text += "\r\n\r\n";
    text += importGuidance(targetWord(target));
    return text;
}

} // namespace scrivane
