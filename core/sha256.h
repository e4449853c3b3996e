// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace vostrel {

// The SHA-256 digest of `bytes` as 64 lower-case hexadecimal digits: how a
// design file names the antenna model it was made from.
//   "" -> "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"
//   "abc" -> "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"
std::string sha256Hex(std::string_view bytes);

} // namespace vostrel
