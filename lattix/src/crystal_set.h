// The crystal set: lattice matrices, symmetry operators from SYMGEN, APU blocks, indices to
// vectors.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "lattixtype.h"

namespace lattix {

struct GeneratorList;

// Which file a setup failure concerns (numbers of lattixSetup.h).
enum class SetupFile : std::int32_t { None = 0, Crystal = 1, SymGen = 2, Apu = 3 };

// Thrown inside the library when a setup data file cannot be opened or read;
// caught at the export boundary, where it becomes GetInitIoStatus() and the
// setup report.
struct IoError {
    std::uint16_t status;
    SetupFile file = SetupFile::None;
    std::string path;            // the file that failed
    std::int32_t laueGroup = 0;  // the group whose line or record was read
};

// 0 when the six values (lengths, angles in degrees) make a usable cell:
// finite lengths above 0, angles strictly between 0 and 180 that close a
// cell with a normalised volume of at least 1e-6, and a volume of at least
// 1e-5 (the bound of InverseMatrix, so Direct can be inverted).
// kStatusInvalidNumber for a value that is no finite Single, else kStatusNoCell.
std::uint16_t checkLattice(double a, double b, double c, double alpha, double beta, double gamma);

// Steps 3..8 of the initialisation: matrices, SymOps, Apu0, Apu1, limits,
// PseudoCount.  Throws IoError when SYMGEN or APU fail, and (after building
// everything else) kStatusRangeError for a Laue group outside 1..11.
void completeCrySet(TCrySet& cs);
void buildLatticeMatrices(TCrySet& cs);
double latticeSpacing(const TCrySet& cs, int h, int k, int l);
bool miller2Vec(const TCrySet& cs, bool direction, const TIndices& idx, TVec3D& out);
// Unparsable text: zero indices, so out becomes (1,0,0).
void str2Vec(const TCrySet& cs, bool direction, std::string_view text, TVec3D& out);

// InitCrySet2 without the status bookkeeping; name and reference may be null.
void initCrySet2(TCrySet& cs, const char* name, const char* reference, float a, float b, float c,
                 float alpha, float beta, float gamma, std::int32_t laue, std::int32_t spaceGroup);
void setPseudoSymmetry(TCrySet& cs, std::uint8_t kind, float u, float v, float w, float value);

// Reads SYMGEN for cs.LaueGroup and expands it into SymOps (Direct must be
// built).  SymOps[0] is the identity and SymOpCount 1 even when it throws.
void buildSymOps(TCrySet& cs);
// Identity, then each generator's turns applied to every operator so far.
// Stops at 96 operators (the parser refuses more).
void expandSymOps(TCrySet& cs, const GeneratorList& generators);
// Reads the APU record (cs.LaueGroup, variant) into block, then converts it.
void readApuBlock(const TCrySet& cs, int variant, TApuBlock& block);
// Dirs from DirTexts, trimmed NormalTexts, Normals from "uvwxuvw" plane texts
// (left x right, made unit) or from a single direction.
void convertApuBlock(const TCrySet& cs, TApuBlock& block);

// The crystal file's path: name itself made absolute when such a file exists,
// else the first entry of the COMMON folder (in name order) matching the bare
// name as a wildcard pattern, else name unchanged.
std::string findCrystalFile(std::string_view name);
// Case-insensitive match with the wildcards * and ?.
bool wildcardMatch(std::string_view pattern, std::string_view name);
// Reads cs.FileName; on failure stores the status in lastStatus and returns false.
bool readCrystalFile(TCrySet& cs);
// InitCrySet: returns its status (also in lastStatus); throws IoError like
// completeCrySet.
std::uint16_t initCrySet(TCrySet& cs, const char* fileName);

}  // namespace lattix
