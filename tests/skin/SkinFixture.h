#pragma once
// Skin folders for tests: a complete description in the file format, images painted in known
// colours, and the Qt application that controls need.

#include <QApplication>
#include <QColor>
#include <QImage>
#include <string>

namespace orvel::test {

QApplication& skinTestApplication();

// Lines joined with CR LF.
std::string crlf(std::initializer_list<std::string> lines);

// A complete description: both panels, nine presets, three buttons and three texts, then
// Info with the given design size. Panels use "main.png" and "presets.png", buttons
// "strip.png", texts no image.
std::string completeDescription(int designWidth = 240, int designHeight = 320);

// One section of completeDescription, or the Info section, with its trailing empty line.
std::string section(const std::string& name, int designWidth = 240, int designHeight = 320);

// Writes the description as folder/default.rs together with the images it names: panels of
// 240 x 100 and 240 x 220, and a strip of `frames` frames of 40 x 20, frame i filled with
// stripColour(i). Returns the description's path.
std::string writeSkin(const std::string& folder, const std::string& description, int frames = 6);

QColor stripColour(int frame);
inline const QColor kMainPanelColour{10, 20, 30};
inline const QColor kPresetsPanelColour{40, 50, 60};

}  // namespace orvel::test
