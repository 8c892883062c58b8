// Counts the GDI and USER objects that this program makes and frees, under the rules of real
// Windows rather than Wine's.
//
// Wine reports 0 from GetGuiResources, and it frees a bitmap deleted while still selected into a
// context, which Windows refuses (the bitmap then leaks). So the test programs count for
// themselves: the gdi32 and user32 imports of the test executable (which the skin engine, linked
// in statically, calls through) are redirected to counting stand-ins. The stand-ins apply Windows'
// rules: DeleteObject of an object still selected into a context fails and leaves it alive; a
// region given to SetWindowRgn belongs to the system (and to the window until it is replaced or
// the window is gone), as does a clipping region given to GetDCEx; DeleteDC deselects what the
// context held. Stock objects are never counted.
//
// One thread only: the user-interface thread of the test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

enum class ObjectKind { Context, Bitmap, Brush, Pen, Font, Palette, Region };
inline constexpr int kObjectKinds = 7;

// Objects alive now, by kind.
struct LiveObjects {
    int createdContexts = 0;  // CreateDC, CreateIC, CreateCompatibleDC, not yet deleted
    int windowContexts = 0;   // GetDC, GetWindowDC, GetDCEx, BeginPaint, not yet released
    int bitmaps = 0;
    int brushes = 0;
    int pens = 0;
    int fonts = 0;
    int palettes = 0;
    int regions = 0;        // regions the program still owns
    int windowRegions = 0;  // regions handed to SetWindowRgn of a window that still exists
    int timers = 0;         // SetTimer without KillTimer, on a window that still exists

    int Contexts() const { return createdContexts + windowContexts; }
    int Total() const {
        return createdContexts + windowContexts + bitmaps + brushes + pens + fonts + palettes +
               regions + windowRegions + timers;
    }
    bool operator==(const LiveObjects&) const = default;
};

// Calls that Windows would refuse or that free what the program does not own. Each is a fault.
struct GdiFaults {
    int refusedDeletes = 0;  // DeleteObject of an object still selected into a context
    int unknownDeletes = 0;  // DeleteObject/DeleteDC of a handle not made here (or freed twice)
    int systemRegionDeletes = 0;    // DeleteObject of a region that SetWindowRgn gave to the system
    int unbalancedReleases = 0;     // ReleaseDC/EndPaint of a context not obtained, DeleteDC of one
    int releasedWithSelection = 0;  // a window context released with a made object still in it

    int Total() const {
        return refusedDeletes + unknownDeletes + systemRegionDeletes + unbalancedReleases +
               releasedWithSelection;
    }
    bool operator==(const GdiFaults&) const = default;
};

// Redirects the imports (once; later calls do nothing). Call it before anything is made: what was
// made earlier is not counted, and freeing it counts as an unknown delete. Returns false when the
// executable imports none of the functions counted, which would make every count meaningless.
bool InstallGdiAccounting();

LiveObjects CountLiveObjects();
GdiFaults CountGdiFaults();

// The next `count` creations of this kind of object (made contexts for Context) fail as the
// system's would, returning 0; 0 ends the failures. For testing what happens when memory runs out.
void FailCreations(ObjectKind kind, int count);

// Every made object alive now, with the place in the executable that made it ("region 0x1234
// made at image offset 0x5678": give the offset plus the image base to addr2line).
std::vector<std::string> DescribeLiveObjects();

// "contexts 4 made + 0 obtained, bitmaps 4, ..." for failure messages.
std::string Describe(const LiveObjects& objects);
std::string Describe(const GdiFaults& faults);

}  // namespace testing_support
