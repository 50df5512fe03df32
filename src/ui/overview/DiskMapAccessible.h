#pragma once
// The disk map as assistive technology sees it. Its rectangles are painted,
// so Qt knows no widgets for them; these interfaces describe the map as a list
// whose items are the rectangles shown (groups and items alike), each named
// "name, size, status" as hover tells it, with its bounds, the keyboard focus
// and a press action that opens the item's tab or zooms into the group.

namespace stowage {

class DiskMapView;

namespace DiskMapAccessible {

// Registers the interfaces with Qt's accessibility (once per process).
void install();

// Tells assistive technology that the keyboard focus is on the map's focused rectangle.
void announceFocus(DiskMapView& map);

}  // namespace DiskMapAccessible

}  // namespace stowage
