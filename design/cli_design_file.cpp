// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_design_file.h"

#include "ascii.h"
#include "cli_files.h"
#include "cli_options.h"
#include "design_file.h"
#include "sha256.h"
#include "utf8.h"

#include <algorithm>
#include <filesystem>

namespace vostrel::design::cli {
namespace {

using designfile::Key;

bool reads(const Options& options, OptionId id)
{
    const auto allowed = optionsOf(options.command);
    return std::find(allowed.begin(), allowed.end(), id) != allowed.end();
}

// The model's path as the file gives it, or beside the design file.
std::string besideTheFile(const std::string& designPath, const std::string& model)
{
    const std::filesystem::path given(model);
    if (given.is_absolute()) {
        return model;
    }
    return (std::filesystem::path(designPath).parent_path() / given).string();
}

Refusal checkModel(const std::string& path, const std::optional<std::string>& sha256)
{
    std::string bytes;
    if (auto failure = readFileText(OptionId::Design, path, "an antenna model", bytes)) {
        failure->message += " (the antenna model the design file names)";
        return failure;
    }
    if (sha256 && ascii::lowered(*sha256) != sha256Hex(bytes)) {
        return badInput("--design: the antenna model " + quotedInput(path)
            + " is not the one the design was made with (its SHA-256 differs): open the design in the window to "
              "check it, or give --nec");
    }
    return std::nullopt;
}

// What the file's value for `key` becomes: the option it fills, or nothing.
bool takes(const Options& options, Key key, bool elementGiven, bool modelUsed)
{
    switch (key) {
    case Key::ElementDiameter:
    case Key::ElementLength:
        return !elementGiven && !modelUsed;
    case Key::AntennaModel:
        return modelUsed;
    default:
        break;
    }
    const std::string_view option = designfile::keyInfo(key).option;
    const options::OptionInfo* info = options::findOption(option);
    return info != nullptr && reads(options, info->id) && !options.valueOf(info->id);
}

// The file's ratings: with a power and without NEC-2, which does not rate;
// its tube also for NEC-2's model of the rod in it (cap-at = tube).
void dropRatings(Options& options, const Options& given, bool fullWave)
{
    if (fullWave && !given.power) {
        options.power.reset();
    }
    const bool tubeModelled = fullWave && tubeAsked(options);
    for (const auto member : {&Options::swrMargin, &Options::tubeId, &Options::dielectric}) {
        const bool kept = tubeModelled && member != &Options::swrMargin;
        if (!kept && !(given.*member) && (fullWave || !options.power)) {
            (options.*member).reset();
        }
    }
}

} // namespace

Refusal applyDesignFile(Options& options)
{
    if (!options.design) {
        return std::nullopt;
    }
    const std::string path = *options.design;
    std::string text;
    if (auto failure = readFileText(OptionId::Design, path, "a design file", text)) {
        return failure;
    }
    const auto read = designfile::readDesign(text);
    if (const auto* error = std::get_if<designfile::ReadError>(&read)) {
        const std::string where = shownText(path, 80) + (error->line > 0 ? ":" + std::to_string(error->line) : "");
        return badInput("--design: " + where + ": " + error->message);
    }
    const auto& file = std::get<designfile::Design>(read);
    const Options given = options;
    const bool elementGiven = given.element || given.elementLength || given.nec;
    const bool modelUsed = file[Key::AntennaModel] && !elementGiven && reads(options, OptionId::Nec);
    for (const designfile::KeyInfo& key : designfile::keys()) {
        const std::optional<std::string>& value = file[key.key];
        if (!value || key.option.empty() || !takes(options, key.key, elementGiven, modelUsed)) {
            continue;
        }
        const auto member = memberOf(options::findOption(key.option)->id);
        if (const auto* slot = std::get_if<ValueMember>(&member)) {
            options.** slot = *value;
        }
    }
    if (modelUsed) {
        options.nec = besideTheFile(path, *file[Key::AntennaModel]);
        if (auto failure = checkModel(*options.nec, file[Key::AntennaModelSha256])) {
            return failure;
        }
    }
    if (file[Key::StepUp] == "half" && reads(options, OptionId::Half)) {
        options.half = true;
    }
    if (file[Key::ClosedForm] == "textbook" && reads(options, OptionId::Textbook)) {
        options.textbook = true;
    }
    dropRatings(options, given, options.nec.has_value() || options.elementLength.has_value());
    if (!(options.nec || options.elementLength)) {
        // The file's rod side and capacitor place mean nothing without NEC-2.
        for (const auto member : {&Options::rodSide, &Options::capAt}) {
            if (!(given.*member)) {
                (options.*member).reset();
            }
        }
    }
    return std::nullopt;
}

} // namespace vostrel::design::cli
