#pragma once

#include <cstddef>
#include <memory>

// Texts of the run time: zero-ended byte strings in the system's code page
// (GB18030, the superset of code page 936). No text (nullptr) counts as the
// empty text. Every fresh text comes from the run time's one heap and is
// released through it.
namespace rt {

// Takes a block of `bytes` bytes from the run time's heap. Never returns
// nullptr: running out of memory is a fatal error that names the bytes asked for.
char* allocate_text(std::size_t bytes);

// Gives a block back to the run time's heap; does nothing with nullptr.
void release_text(char* text) noexcept;

struct TextRelease {
    void operator()(char* text) const noexcept { release_text(text); }
};

// Owns one fresh text, or no text.
using Text = std::unique_ptr<char[], TextRelease>;

}  // namespace rt
