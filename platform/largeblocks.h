#pragma once

// Large buffers (a cover picture, a tag being rewritten) go back to the
// system as soon as they are freed. The C library otherwise learns from the first large
// buffer freed to keep later ones in its heap, which then holds several covers' worth of
// memory long after the tag was written.
namespace LargeBlocks {
void returnToSystem();
} // namespace LargeBlocks
