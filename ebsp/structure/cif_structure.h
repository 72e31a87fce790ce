// A crystal structure read from a CIF text: cell, symmetry and atom sites,
// brought into the axes the library's Laue groups expect.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "reflector_model.h"

namespace ebsp_structure {

// A problem with the file; the message names the file, the line where known,
// and what is wrong.
class StructureFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct CifStructure {
    reflector_model::Structure structure;  // operations filled, in the library's axes
    int spaceGroupNumber = 0;              // 1..230
    std::string symbol;                    // e.g. "P 6_3/m m c", in the axes used
    std::string name;                      // phase name from the file
    std::string blockName;                 // data block read
    std::vector<std::string> notes;
};

// Names of the data blocks of a CIF text that hold a structure (atom sites
// with fractional coordinates), in file order.
std::vector<std::string> structureBlockNames(const std::string& text, const std::string& label);

// Reads block number blockIndex among the structure blocks (-1: the first
// one) of a CIF text; label names the file in messages.  Throws
// StructureFileError.
CifStructure readCifStructure(const std::string& text, const std::string& label, int blockIndex);

}  // namespace ebsp_structure
