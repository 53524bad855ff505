// The distances of a comparison's trees as files other programs read, made from the report:
// a PHYLIP square matrix, a MEGA distance file, a NEXUS file with both trees and their
// support. Entry points: distanceFileText, infiniteDistanceMessage.
#pragma once

#include "compare/comparison_report.h"

#include <optional>
#include <string>

enum class DistanceFormat
{
    phylip,
    mega,
    nexus
};

// The file's text (UTF-8); nothing when a distance is not finite.
std::optional<std::string> distanceFileText(const ComparisonReport& report, DistanceFormat format);

// "Файл «path» не записан: расстояние между задачами без общих аллелей бесконечно."
std::string infiniteDistanceMessage(const std::string& path);
