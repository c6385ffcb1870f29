#pragma once

#include <string>

#include "platform/pe_image_writer.h"

namespace velmora::sim {

// The version resource of a simulator executable that calls itself `title` at `version`.
platform::VersionResourceContents VersionResourceOf(const std::string& title, const std::string& version);

}  // namespace velmora::sim
