// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers of the NEC tests: a private PATH and TMPDIR per test, the
// outcome checks, and a user's deck several tests read.
#include "deck_reader.h"
#include "failure.h"
#include "refine.h"
#include "wire.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace vostrel::nec::testing {

// The name of a parameterised test's row: its `name` field.
struct RowName {
    template <typename Row> std::string operator()(const ::testing::TestParamInfo<Row>& row) const
    {
        return row.param.name;
    }
};

template <typename T> const T* okOrFail(const Outcome<T>& outcome)
{
    if (const auto* failure = std::get_if<NecFailure>(&outcome)) {
        ADD_FAILURE() << "unexpected failure: " << failure->message << "\n" << failure->outputTail;
        return nullptr;
    }
    return &std::get<T>(outcome);
}

// Never on a temporary: the pointer would dangle.
template <typename T> const T* okOrFail(const Outcome<T>&& outcome) = delete;

template <typename T> NecFailure failureOf(const Outcome<T>& outcome)
{
    if (const auto* failure = std::get_if<NecFailure>(&outcome)) {
        return *failure;
    }
    ADD_FAILURE() << "expected a failure";
    return {};
}

// A deck we wrote, read back to look at its geometry: without the
// capacitor on the source segment, which readDeck refuses in a user's deck.
inline Outcome<UserDeck> readWritten(const std::string& text, std::string_view name)
{
    std::string kept;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        const std::string line = text.substr(from, end - from);
        if (line.rfind("LD 0 ", 0) != 0) {
            kept += line + "\n";
        }
        from = end + 1;
    }
    return readDeck(kept, name);
}

// A job on the user's deck: its source wire's diameter for the element, the
// rod and spacing given (metres), a 50 ohm line.
inline NecJob deckJob(const UserDeck& deck, double freqMhz, double rodDiameter, double spacing)
{
    NecJob job;
    job.design.freqMhz = freqMhz;
    job.design.geometry = {2 * deck.wires[static_cast<std::size_t>(deck.drivenWire)].radius, rodDiameter, spacing};
    job.design.lineImpedance = 50;
    job.element = deck;
    return job;
}

// A directory of its own for the test, removed at the end; TMPDIR points
// into it, so that the runner's temporary directories can be counted.
class Scratch {
public:
    Scratch()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vostrel-nec-test-XXXXXX").string();
        m_dir = mkdtemp(pattern.data()) != nullptr ? pattern : "";
        std::filesystem::create_directory(tmp());
        m_oldTmp = std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "";
        m_oldPath = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
        setenv("TMPDIR", tmp().c_str(), 1);
    }
    ~Scratch()
    {
        setenv("PATH", m_oldPath.c_str(), 1);
        if (m_oldTmp.empty()) {
            unsetenv("TMPDIR");
        } else {
            setenv("TMPDIR", m_oldTmp.c_str(), 1);
        }
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    std::filesystem::path tmp() const { return m_dir / "tmp"; }

    // PATH starts with a directory where `nec2c` is the fake `script`, the
    // system's directories after it; for an empty name, PATH holds only an
    // empty directory (no nec2c anywhere).
    void fakeOnPath(const std::string& script)
    {
        const auto bin = m_dir / "bin";
        std::filesystem::create_directory(bin);
        if (!script.empty()) {
            std::filesystem::create_symlink(std::filesystem::path(VOSTREL_NEC_FAKES) / script, bin / "nec2c");
        }
        setenv("PATH", script.empty() ? bin.c_str() : (bin.string() + ":/usr/bin:/bin").c_str(), 1);
    }

    int leftovers() const
    {
        int count = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(tmp())) {
            ++count;
        }
        return count;
    }

private:
    std::filesystem::path m_dir;
    std::string m_oldTmp;
    std::string m_oldPath;
};

// A two-element 10 m beam over ground, aluminium loss on every wire, as a
// modelling program writes it: comments, commas, a lower-case card.
inline constexpr const char* kBeamOverGround = "CM two-element 10 m beam\r\n"
                                               "CM driven element and reflector\r\n"
                                               "CE\r\n"
                                               "GW 1 21 0 -2.5125 10 0 2.5125 10 0.0125\r\n"
                                               "GW,2,21,-0.4,-2.7,10,-0.4,2.7,10,0.0125\r\n"
                                               "GE 1\r\n"
                                               "GN 2 0 0 0 13 0.005\r\n"
                                               "LD 5 0 0 0 2.5E7\r\n"
                                               "ex 0 1 11 0 1.0 0\r\n"
                                               "FR 0 3 0 0 28.0 0.5\r\n"
                                               "RP 0 1 361 1000 80 0 0 1\r\n"
                                               "EN\r\n";

// How often `what` occurs in `text`.
inline int countOf(const std::string& text, const std::string& what)
{
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

inline double wireLength(const Wire& w)
{
    return std::hypot(w.to[0] - w.from[0], w.to[1] - w.from[1], w.to[2] - w.from[2]);
}

} // namespace vostrel::nec::testing
