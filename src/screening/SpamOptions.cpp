#include "screening/SpamOptions.h"

#include "base/IniFile.h"
#include "base/Text.h"

#include <algorithm>

namespace mv {

void SpamOptions::read(const IniFile& ini) {
    SpamOptions defaults;
    compareWithKnownList = ini.readBool("Known", "QMonitor", defaults.compareWithKnownList);
    checkDomains = ini.readBool("Known", "Valid", defaults.checkDomains);
    unknownDomainDeletes = ini.readBool("Known", "Question", defaults.unknownDomainDeletes);
    unknownDomainCount = ini.readString("Known", "Num", defaults.unknownDomainCount);
    smallerOn = ini.readBool("Smaller", "QSmaller", defaults.smallerOn);
    smallerLimit = ini.readInteger("Smaller", "Num", defaults.smallerLimit);
    smallerDeletes = ini.readBool("Smaller", "Check", defaults.smallerDeletes);
    largerOn = ini.readBool("Larger", "QLarger", defaults.largerOn);
    largerLimit = ini.readInteger("Larger", "Num", defaults.largerLimit);
    largerDeletes = ini.readBool("Larger", "Check", defaults.largerDeletes);
}

void SpamOptions::write(IniFile& ini) const {
    ini.writeBool("Known", "QMonitor", compareWithKnownList);
    ini.writeBool("Known", "Valid", checkDomains);
    ini.writeBool("Known", "Question", unknownDomainDeletes);
    ini.writeString("Known", "Num", unknownDomainCount);
    ini.writeBool("Smaller", "QSmaller", smallerOn);
    ini.writeInteger("Smaller", "Num", smallerLimit);
    ini.writeBool("Smaller", "Check", smallerDeletes);
    ini.writeBool("Larger", "QLarger", largerOn);
    ini.writeInteger("Larger", "Num", largerLimit);
    ini.writeBool("Larger", "Check", largerDeletes);
}

void SpamOptions::bumpUnknown() {
    unknownDomainCount = std::to_string(parseIntegerOr(unknownDomainCount, 0) + 1);
}

SpamOptions SpamOptions::rebased(const SpamOptions& base, const SpamOptions& disk) const {
    SpamOptions out = disk;
    auto take = [](auto& result, const auto& mine, const auto& before) {
        if (mine != before) result = mine;
    };
    take(out.compareWithKnownList, compareWithKnownList, base.compareWithKnownList);
    take(out.checkDomains, checkDomains, base.checkDomains);
    take(out.unknownDomainDeletes, unknownDomainDeletes, base.unknownDomainDeletes);
    take(out.smallerOn, smallerOn, base.smallerOn);
    take(out.smallerLimit, smallerLimit, base.smallerLimit);
    take(out.smallerDeletes, smallerDeletes, base.smallerDeletes);
    take(out.largerOn, largerOn, base.largerOn);
    take(out.largerLimit, largerLimit, base.largerLimit);
    take(out.largerDeletes, largerDeletes, base.largerDeletes);
    long long met =
        parseIntegerOr(unknownDomainCount, 0) - parseIntegerOr(base.unknownDomainCount, 0);
    if (met != 0)
        out.unknownDomainCount =
            std::to_string(std::max(0LL, parseIntegerOr(disk.unknownDomainCount, 0) + met));
    return out;
}

} // namespace mv
