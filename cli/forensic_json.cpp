#include "cli/forensic_json.h"

namespace {

using Json = ReportJson;

Json optionalJson(const std::optional<double>& value)
{
    return value ? Json(*value) : Json(nullptr);
}

Json intervalJson(const std::optional<Interval>& interval)
{
    return interval ? Json::array({interval->first, interval->second}) : Json(nullptr);
}

} // namespace

ReportJson forensicJson(const ForensicFigures& figures, const ForensicIntervals* intervals)
{
    Json json{
        {"matchProbability", figures.matchProbability},
        {"discriminationPower", figures.discriminationPower},
        {"exclusionTrio", figures.exclusionTrio},
        {"exclusionDuo", figures.exclusionDuo},
        {"polymorphicInformationContent", optionalJson(figures.polymorphicInformationContent)}};
    if (intervals)
        json["intervals"] =
            Json{{"discriminationPower", intervalJson(intervals->discriminationPower)},
                 {"exclusionTrio", intervalJson(intervals->exclusionTrio)},
                 {"exclusionDuo", intervalJson(intervals->exclusionDuo)}};
    return json;
}

ReportJson diversityJson(const GeneDiversity& diversity)
{
    return Json{{"heterozygosity", diversity.heterozygosity},
                {"unbiasedHeterozygosity", optionalJson(diversity.unbiasedHeterozygosity)},
                {"standardError", optionalJson(diversity.standardError)},
                {"effectiveAlleles", diversity.effectiveAlleles}};
}
