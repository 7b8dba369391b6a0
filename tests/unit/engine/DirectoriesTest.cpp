#include "engine/Directories.h"

#include <gtest/gtest.h>

#include "platform/sim/SimPlatform.h"

namespace {

TEST(ForceDirectories, CreatesEveryMissingLevel) {
  platform::sim::SimPlatform sim;
  platform::Files& files = sim.platform().files;

  EXPECT_TRUE(engine::ForceDirectories(files, "C:\\Programme\\Firma\\Demo 1.0\\"));
  EXPECT_TRUE(files.DirectoryExists("C:\\Programme\\Firma\\Demo 1.0"));
  EXPECT_TRUE(engine::ForceDirectories(files, "C:\\Programme\\Firma")) << "existing is fine";
  EXPECT_TRUE(engine::ForceDirectories(files, "C:\\"));
  EXPECT_TRUE(engine::ForceDirectories(files, "C:"));
}

TEST(ForceDirectories, ReportsWhatCannotBeMadeAndRefusesAnEmptyPath) {
  platform::sim::SimPlatform sim;
  platform::Files& files = sim.platform().files;
  sim.PutFile("C:\\Datei", "x");

  EXPECT_FALSE(engine::ForceDirectories(files, "C:\\Datei\\Unter"));
  EXPECT_FALSE(engine::ForceDirectories(files, "Q:\\Neu"));
  for (const char* path : {"", "Zielordner", "Ziel\\Unter"}) {
    try {
      engine::ForceDirectories(files, path);
      ADD_FAILURE() << "no error raised for \"" << path << "\"";
    } catch (const engine::EDirectoryError& error) {
      EXPECT_STREQ(error.what(), "Das Verzeichnis kann nicht erstellt werden");
    }
  }
  EXPECT_FALSE(files.DirectoryExists("C:\\Zielordner")) << "nothing made below the current one";
}

}  // namespace
