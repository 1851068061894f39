#include "payee_names.h"

#include <cstdio>

namespace scrivane::gen {

namespace {

const char* const merchants[] = {"BIGMART",
                                 "SAFEWAY",
                                 "SHELL OIL",
                                 "WHOLE FOODS MKT",
                                 "TARGET",
                                 "HOME DEPOT",
                                 "STARBUCKS",
                                 "COSTCO WHSE",
                                 "WALGREENS",
                                 "CHEVRON",
                                 "KROGER",
                                 "TRADER JOE'S",
                                 "BEST BUY",
                                 "SUBWAY",
                                 "JIFFY LUBE",
                                 "ACE HARDWARE"};

const char* const companies[] = {"ACME CORP",
                                 "NORTHWIND TRADERS",
                                 "CONTOSO",
                                 "PACIFIC GAS ELEC",
                                 "CITY OF SPRINGFIELD",
                                 "STATE FARM",
                                 "VERIZON WIRELESS",
                                 "COMCAST CABLE",
                                 "GEICO AUTO",
                                 "BLUE CROSS"};

const char* const surnameShops[] = {"MCDONALD'S",
                                    "MCKAY'S MARKET",
                                    "O'REILLY AUTO PARTS",
                                    "MACKENZIE HARDWARE",
                                    "D'ANGELO PIZZA",
                                    "FITZGERALD'S PUB",
                                    "VON HOLT BAKERY",
                                    "MAC DONALD FARMS",
                                    "SMITH-MCDONALD DENTAL"};

const char* const ampersandShops[] = {"B&G CAFE", "AT&T WIRELESS", "BARNES & NOBLE", "H&M", "BED BATH & BEYOND"};

const char* const cities[] = {"SEATTLE WA", "PORTLAND OR", "AUSTIN TX", "DENVER CO", "BOSTON MA", "MIAMI FL"};

// Names with letters outside ASCII; the writer converts them to the statement's
// character set.
const char* const accentedShops[] = {"CAFÉ DE FLORE", "MÜLLER BÄCKEREI", "PÂTISSERIE LÉA", "JOSÉ'S TAQUERÍA"};

const char* const repeatedWords[] = {"PETRO", "SHELL", "QUIK", "FOOD"};

const char* const longNames[] = {"AMAZON MARKETPLACE PMTS AMZN.COM/BILL WA",
                                 "INTERNATIONAL HOUSE OF PANCAKES RESTAURANT",
                                 "DEPARTMENT OF MOTOR VEHICLES REGISTRATION FEE"};

const char* const memos[] = {"POS MERCHANDISE",
                             "DEBIT CARD PURCHASE",
                             "ELECTRONIC PAYMENT",
                             "ONLINE BANKING TRANSFER",
                             "RECURRING PAYMENT",
                             "MISCELLANEOUS PAYMENTS"};

std::string format(const char* pattern, long long a, long long b = 0, long long c = 0)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, a, b, c);
    return buffer;
}

std::string monthDay(int month, int day)
{
    return format("%02lld/%02lld", month, day);
}

} // namespace

Payee drawPayee(Rng& rng, int month, int day, int year, bool accents)
{
    Payee p;
    p.transactionType = "DEBIT";
    const std::string merchant = rng.pick(merchants);
    const std::string company = rng.pick(companies);
    switch (rng.below(20)) {
    case 0:
    case 1:
        p.transactionType = "POS";
        p.name = "POS PURCHASE #" + format("%06lld", rng.between(0, 999999)) + " " + merchant;
        break;
    case 2:
    case 3:
        p.transactionType = "POS";
        p.name = "POS " + monthDay(month, day) + " " + merchant + " " + rng.pick(cities);
        break;
    case 4:
        p.name = "ACH DEBIT " + monthDay(month, day) + " " + company;
        break;
    case 5:
        p.transactionType = "CREDIT";
        p.amountSign = 1;
        p.name = "ACH CREDIT " + company + " PAYROLL";
        break;
    case 6:
        p.transactionType = "CHECK";
        p.checkNumber = format("%lld", rng.between(1001, 9999));
        p.name = "CHECK " + p.checkNumber;
        break;
    case 7:
        p.name = "DEBIT CARD PURCHASE " + monthDay(month, day) + "/" + format("%04lld", year) + " " + merchant;
        break;
    case 8:
    case 9:
        p.name = merchant + " " + format("%lld", rng.between(100, 99999));
        break;
    case 10: {
        const std::string word = rng.pick(repeatedWords);
        p.name = word + " " + word + " OIL " + format("%lld", rng.between(1000, 99999));
        break;
    }
    case 11:
    case 12:
        p.name = std::string(rng.pick(surnameShops)) + (rng.percent(50) ? format(" #%lld", rng.between(1, 999)) : "");
        break;
    case 13:
        p.name = company + (rng.percent(50) ? " LLC" : " INC");
        break;
    case 14:
        p.name
            = std::string(rng.pick(ampersandShops)) + (rng.percent(50) ? format(" #%lld", rng.between(1, 9999)) : "");
        break;
    case 15:
        p.name = rng.pick(longNames);
        break;
    case 16:
        p.name = "ONLINE TRANSFER REF #" + format("%lld", rng.between(100000, 999999)) + " TO SAVINGS XXXXXX"
            + format("%04lld", rng.between(0, 9999));
        break;
    case 17:
        p.name = accents && rng.percent(40) ? std::string(rng.pick(accentedShops))
                                            : "REF " + format("%lld", rng.between(1, 99999));
        break;
    default:
        p.name = merchant;
        break;
    }
    return p;
}

std::string drawMemo(Rng& rng)
{
    return rng.percent(50) ? std::string(rng.pick(memos)) : std::string();
}

} // namespace scrivane::gen
