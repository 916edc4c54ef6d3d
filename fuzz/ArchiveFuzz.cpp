// The archive as a native playlist (".mpl") holds it: a list record with its clips, as the
// playlist loader reads it, and the preference block that ends a saved main-window value.
#include "core/Archive.h"
#include "core/CorePrefs.h"
#include "core/ObjListClip.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzzsupport::AsText(data, size);
    {
        CObjListClip list;
        CArchive ar(bytes);
        list.Serialize(ar);
        // A list that was read must store again and read back to the same number of clips.
        if (!ar.Failed()) {
            CArchive out;
            list.Serialize(out);
            CObjListClip again;
            CArchive back(out.GetBuffer());
            again.Serialize(back);
            if (back.Failed() || again.GetCount() != list.GetCount())
                __builtin_trap();
        }
    }
    CArchive prefs(bytes);
    SerializeMainWndTail(prefs);
    CCorePrefs::ResetToDefaults();
    return 0;
}
