// pasarela sample DIR [--scale N] [--seed N] [--without-dni N]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/command.h"
#include "data/winpath.h"
#include "base/error.h"
#include "sample/sample_school.h"

namespace pasarela::cli {

namespace {

long long number(const std::string& option, const std::string& text) {
  char* end = nullptr;
  long long v = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || v < 0)
    throw Error("Valor inválido para " + option + ": '" + text + "'");
  return v;
}

void sampleUsage() {
  std::fputs("usage: pasarela sample DIR [--scale N] [--seed N] [--without-dni N]\n", stderr);
}

}  // namespace

int sampleCommand(const Args& args) {
  std::string folder;
  sample::SampleOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--scale" || a == "--seed" || a == "--without-dni") {
      if (i + 1 >= args.size()) {
        sampleUsage();
        return 2;
      }
      long long v = number(a, args[++i]);
      if (a == "--scale")
        options.scale = static_cast<int>(v > 1000 ? 1000 : v);
      else if (a == "--seed")
        options.seed = static_cast<std::uint64_t>(v);
      else
        options.teachersWithoutDni = static_cast<int>(v > 100000 ? 100000 : v);
    } else if (!a.empty() && a[0] == '-' && a.size() > 1) {
      sampleUsage();
      return 2;
    } else if (folder.empty()) {
      folder = a;
    } else {
      sampleUsage();
      return 2;
    }
  }
  if (folder.empty()) {
    sampleUsage();
    return 2;
  }
  const std::string windowsFolder = winpath::fromCommandLine(folder);
  const sample::SampleCounts counts = sample::writeSampleSchool(windowsFolder, options);
  std::printf("%s\n", windowsFolder.c_str());
  for (const auto& [file, records] : counts) std::printf("  %-14s %8zu\n", file.c_str(), records);
  return 0;
}

}  // namespace pasarela::cli
