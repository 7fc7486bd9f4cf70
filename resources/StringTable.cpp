#include "resources/StringTable.h"

#include <algorithm>
#include <iterator>

namespace orvel {
namespace {

struct Entry {
  uint16_t id;
  const char16_t* text;
};

// Sorted by id.
constexpr Entry kStrings[] = {
    {1, u"Cannot connect to internet!"},
    {2, u"URL has unknown format!"},
    {4, u"Error already handled"},
    {5, u"Error sending request to server!"},
    {6, u"Connection error!"},
    {7, u"Cannot get HTTP headers!"},
    {8, u"Server didn't accept our request!"},
    {9, u"Server returned bad headers!"},
    {10, u"Cannot open default database!"},
    {12, u"Connecting to internet..."},
    {13, u"Online"},
    {14, u"Connecting..."},
    {15, u"Requesting server..."},
    {16, u"Cannot connect to server!"},
    {17, u"Connected to server"},
    {18, u"Open playlist file"},
    {19, u"Cannot load playlist! It has unsupported format."},
    {21, u"Are you sure you want to delete selected category and all its radios and streams?"},
    {22, u"Are you sure you want to delete selected radio?"},
    {26, u"Date"},
    {27, u"Time"},
    {39, u"Orvel Radio alarm!"},
    {40, u"Buffering..."},
    {41, u"Playback started"},
    {42, u"Connection to server interrupted."},
    {43, u"Cannot open decoder! Stream has unsupported format."},
    {44, u"Cannot create decoder! There is no decoder for this stream format."},
    {45, u"Cannot open sound device!"},
    {46, u"Cannot open skins ini file! Check path."},
    {47, u"There is no skin for this screen resolution and orientation. Please install a "
         u"suitable skin, or reinstall application."},
    {48, u"Cannot load skins! Using default skin."},
    {49, u"No skin has been assigned to this screen resolution and orientation. Choose one "
         u"from the list you will see after you close this message."},
    {51, u"Playback stopped"},
    {52, u"Are you sure you want to delete selected stream?"},
    {53, u"You cannot add new category, because a category with the same name already exists!"},
    {54, u"URL cannot be empty!"},
    {55, u"Title cannot be empty!"},
    {56, u"My Radios"},
    {57, u"Main memory"},
    {58, u"Cannot create file!"},
    {59, u"Recording of other than MP3 format is not supported yet!"},
    {60, u"Recording started..."},
    {62, u"Ending time must be at least for one minute greater than beginning time!"},
    {66, u"radio"},
    {67, u"Closing connection..."},
    {68, u"Connection closed"},
    {69, u"Retry..."},
    {70, u"Reconnecting... (%d)"},
    {71, u"Reconnected"},
    {72, u"Reconnect when the connection drops"},
    {703, u"Empty"},
};

}  // namespace

const char16_t* StringTable::find(uint16_t id) {
  const auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                   [](const Entry& e, uint16_t key) { return e.id < key; });
  return it != std::end(kStrings) && it->id == id ? it->text : nullptr;
}

WString StringTable::load(uint16_t id) {
  const char16_t* text = find(id);
  return text != nullptr ? WString(text) : WString();
}

}  // namespace orvel
