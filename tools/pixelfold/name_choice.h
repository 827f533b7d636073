// tools/pixelfold/name_choice.h: the names a run asks for, checked before any file is read.
#pragma once

#include <string>
#include <vector>

namespace pixelfold::host {

struct NameChoice {
    std::vector<std::string> shown;   // as the user wrote them (blanks around them dropped)
    std::vector<std::string> asked;   // the plug-in's name for each, in the same order
    std::vector<std::string> errors;  // one message per name that is not known; empty when fine
};

// Every name: Width, Height, Color Depth and the plug-in's 217 metadata names.
NameChoice AllNames();

// The names of a comma-separated list, in order. Names that differ only in the case of A to Z
// are one (the first spelling is kept). A name is one the plug-in's table carries, one of the
// three size names, or the TIFF, EXIF or GPS standard's own name of a tag of the primary image
// (DateTimeOriginal, Model), which is asked by the plug-in's name of that tag.
NameChoice ChooseNames(const std::string& list);

}  // namespace pixelfold::host
