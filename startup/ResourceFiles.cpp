#include "startup/ResourceFiles.h"

#include "common/EmbeddedResource.h"
#include "common/FileSystem.h"
#include "resources/ResourceIds.h"

#include <windows.h>

namespace velmora {

const std::vector<ResourceFile>& RefreshedResourceFiles() {
  static const std::vector<ResourceFile> files = {
      {"\\0011.bak", "\\Blank.png", IDR_BLANK_PNG},
      {"\\0012.bak", "\\Imageviewer.png", IDR_IMAGEVIEWER_PNG},
      {"\\0013.bak", "\\Shortcut.png", IDR_SHORTCUT_PNG},
      {"\\0015.bak", "\\Blank.swf", IDR_BLANK_SWF},
  };
  return files;
}

ResourceSource InstalledOrEmbeddedSource(const std::string& sourceDirectory) {
  return [sourceDirectory](const ResourceFile& file) -> std::optional<std::string> {
    if (auto installed = ReadWholeFile(sourceDirectory + file.sourceName)) return installed;
    return EmbeddedResource(file.embeddedId);
  };
}

int RefreshResourceFiles(const ResourceSource& source, const std::string& appDirectory) {
  int written = 0;
  for (const ResourceFile& file : RefreshedResourceFiles()) {
    const std::optional<std::string> bytes = source(file);
    if (bytes && ReplaceWholeFile(appDirectory + file.destinationName, *bytes)) ++written;
  }
  return written;
}

}  // namespace velmora
