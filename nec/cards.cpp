// SPDX-License-Identifier: GPL-3.0-or-later
#include "cards.h"

#include "ascii.h"

#include <algorithm>
#include <array>

namespace vostrel::nec {
namespace {

using R = CardRole;
using In = CardReading;
using Out = CardWriting;

constexpr std::array kCardTypes{
    CardType{"CM", R::Comment, In::Comment, Out::Comment, ""},
    CardType{"CE", R::Comment, In::Comment, Out::Comment, ""},
    CardType{"GW", R::Geometry, In::Wire, Out::Wire, ""},
    CardType{"GS", R::Geometry, In::Scale, Out::Scale, ""},
    CardType{"GE", R::Geometry, In::GeometryEnd, Out::GeometryEnd, ""},
    CardType{"GA", R::Geometry, In::Arc, Out::Generator, ""},
    CardType{"GH", R::Geometry, In::Helix, Out::Generator, ""},
    CardType{"GC", R::Geometry, In::Taper, Out::Generator, ""},
    CardType{"GM", R::Geometry, In::Move, Out::Generator, ""},
    CardType{"GR", R::Geometry, In::Rotate, Out::Generator, ""},
    CardType{"GX", R::Geometry, In::Reflect, Out::Generator, ""},
    CardType{"GF", R::Geometry, In::Refused, Out::Never,
        "a Green's function file (GF card) holds a geometry the match cannot be added to"},
    CardType{"SP", R::Geometry, In::Refused, Out::Never, "surface patches (SP cards) are not supported"},
    CardType{"SM", R::Geometry, In::Refused, Out::Never, "surface patches (SM cards) are not supported"},
    CardType{"SC", R::Geometry, In::Refused, Out::Never, "surface patches (SC cards) are not supported"},
    CardType{"GN", R::ProgramControl, In::Ground, Out::Environment, ""},
    CardType{"GD", R::ProgramControl, In::Fields, Out::Environment, ""},
    CardType{"LD", R::ProgramControl, In::Load, Out::Environment, ""},
    CardType{"EK", R::ProgramControl, In::Fields, Out::Dropped, ""},
    CardType{"EX", R::ProgramControl, In::Source, Out::Source, ""},
    CardType{"NT", R::ProgramControl, In::Refused, Out::Never,
        "networks (NT cards) are not supported: one could join the driven element, which the match replaces"},
    CardType{"TL", R::ProgramControl, In::Refused, Out::Never,
        "transmission lines (TL cards) are not supported: one could join the driven element, which the match "
        "replaces"},
    CardType{"FR", R::ProgramControl, In::Fields, Out::UserControl, ""},
    CardType{"RP", R::ProgramControl, In::Fields, Out::UserControl, ""},
    CardType{"XQ", R::ProgramControl, In::Fields, Out::UserControl, ""},
    CardType{"NE", R::ProgramControl, In::Fields, Out::UserControl, ""},
    CardType{"NH", R::ProgramControl, In::Fields, Out::UserControl, ""},
    CardType{"PQ", R::ProgramControl, In::Fields, Out::UserControl, ""},
    CardType{"PT", R::ProgramControl, In::Fields, Out::UserControl, ""},
    CardType{"KH", R::ProgramControl, In::Fields, Out::UserControl, ""},
    CardType{"EN", R::End, In::End, Out::End, ""},
};

} // namespace

std::span<const CardType> cardTypes()
{
    return kCardTypes;
}

const CardType* cardType(std::string_view name)
{
    const auto* const found = std::find_if(kCardTypes.begin(), kCardTypes.end(),
        [&](const CardType& type) { return ascii::equalFolded(type.name, name); });
    return found != kCardTypes.end() ? &*found : nullptr;
}

CardReading cardReading(std::string_view name)
{
    const CardType* type = cardType(name);
    return type != nullptr ? type->reading : CardReading::Refused;
}

CardWriting cardWriting(std::string_view name)
{
    const CardType* type = cardType(name);
    return type != nullptr ? type->writing : CardWriting::Never;
}

} // namespace vostrel::nec
