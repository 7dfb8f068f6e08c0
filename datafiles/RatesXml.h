#pragma once
// The two XML forms of exchange rates a download may bring, read into one
// shape. Both are read with libxml2 (loaded at first use) without network,
// entities or a document type: an answer that has one is refused.
//
// - Euro reference rates, as a central bank publishes them every working day
//   (https://www.ecb.europa.eu/stats/eurofxref/eurofxref-daily.xml): an
//   element Cube with a time attribute (the reference date, "2026-12-04")
//   holds elements Cube with the attributes currency and rate, in units per
//   euro. USD must be among them.
// - The United Nations' operational rates of exchange, set once a month (and
//   between when a rate moves far) for every member's currency
//   (https://treasury.un.org/operationalrates/xsql2XML.php): a root element
//   UN_OPERATIONAL_RATES_DATASET holds one element UN_OPERATIONAL_RATES per
//   country, whose child elements f_curr_code (the currency code), rate
//   (units per U.S. dollar) and eff_date (the date it took effect, "1 Dec
//   2026") are what is read; other children (the country's and currency's
//   names) are passed over. A currency of several countries comes once per
//   country: the first row counts. Rows of codes the currency list does not
//   hold are not read further.
#include <map>
#include <string>
#include <string_view>

struct SSourceRates {
    enum Kind { kEuroReference, kUnOperational };
    Kind kind = kEuroReference;
    // The reference date; for the UN rates the latest date any rate took effect.
    std::string date;
    // Units of each listed currency per euro (kEuroReference) or per U.S. dollar.
    std::map<std::string, double> units;
    // The date each rate took effect, where it is not `date` (UN rates only).
    std::map<std::string, std::string> dates;
};

// 1 when `xml` is one of the two forms, read into `out`; otherwise 0, with
// `reason` saying in English what is wrong.
int ReadSourceRates(std::string_view xml, SSourceRates& out, std::string& reason);

// Whether `text` is a date "YYYY-MM-DD" that exists.
bool IsRatesDate(const std::string& text);
