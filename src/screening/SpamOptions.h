#pragma once
// The spam options kept in sections Known, Smaller and Larger of "mailvane.ini": the blacklist
// switch, the unknown-domain check with its mark and counter, and the two size rules. A plain value
// held by the rule set; read and written through IniFile.
#include <string>

namespace mv {

class IniFile;

struct SpamOptions {
    bool compareWithKnownList = true;  // Known / QMonitor
    bool checkDomains = true;          // Known / Valid
    bool unknownDomainDeletes = false; // Known / Question: true = check mark, false = question mark
    std::string unknownDomainCount = "0"; // Known / Num: unknown domains met so far, decimal text

    bool smallerOn = false;       // Smaller / QSmaller
    long long smallerLimit = 100; // Smaller / Num: sizes in bytes below this match
    bool smallerDeletes = true;   // Smaller / Check

    bool largerOn = false;         // Larger / QLarger
    long long largerLimit = 20000; // Larger / Num: sizes in bytes above this match
    bool largerDeletes = true;     // Larger / Check

    // Every key with its default when missing or not a number.
    void read(const IniFile& ini);
    void write(IniFile& ini) const;
    // Raises the unknown-domain counter by one; a counter that is not a number restarts from 0.
    void bumpUnknown();
    // These options' changes since `base` made to `disk`, the options another program saved
    // meanwhile: a switch or size changed here wins, the unknown domains met here are added to the
    // counter there.
    SpamOptions rebased(const SpamOptions& base, const SpamOptions& disk) const;

    bool operator==(const SpamOptions&) const = default;
};

} // namespace mv
