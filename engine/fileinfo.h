#pragma once

// Placeholder until the real class lands.
class FileInfo
{
};
