#pragma once

#include <string>
#include <vector>

namespace quorvane {

// The last-news marker is the line
//   <%%LastNewsId%%>id<%%/LastNewsId%%>
// somewhere in the settings text. The loader of the brand values never
// looks for it, so it may stand anywhere.

// The id of the first marker in the joined settings text, tags in any
// letter case, the value untrimmed; empty without a marker.
std::string FindLastNewsId(const std::string& settingsText);

// Stores `id` in the settings lines. The first line holding the start tag
// (exact case) gets its marker pair rewritten in place, so other tags that
// share the line survive; a marker line alone becomes exactly the new
// marker line. If that line holds the start tag without an end tag, it is
// kept as it is and the new marker line goes right before it, where it is
// found first. Without a marker the line is appended. All other lines stay
// unchanged and in their place.
void PutLastNewsId(std::vector<std::string>& lines, const std::string& id);

}  // namespace quorvane
