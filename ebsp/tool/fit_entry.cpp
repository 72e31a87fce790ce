// ebsp-tool fit: refines orientation (and optionally the pattern centre) of one measured
// pattern.  With Qt built in, patterns come in any format Qt reads (PNG, TIFF, BMP, 8 or
// 16 bits, colour taken as grey); without it, binary PGM only.  Phases from structure or
// crystal files come through the user-phase loader.
#include <iostream>

#include "commands.h"
#include "fit_command.h"
#include "user_phase.h"

#ifdef EBSP_TOOL_RENDER
#include <QImage>
#include <QImageReader>
#endif

namespace ebsp_tool {

const char* const kFitUsage =
    "fit --phase NAME|INDEX|FILE --pattern IMAGE --euler PHI1,PHI,PHI2 --pc X,Y,Z "
    "--convention NAME [--tilt DEG --sample-tilt DEG] [--refine-pc]";

namespace {

#ifdef EBSP_TOOL_RENDER
bool loadWithQt(const std::string& path, ebsp::fit::GreyImage& image, std::string& error) {
    QImageReader reader(QString::fromLocal8Bit(path.c_str()));
    QImage read = reader.read();
    if (read.isNull()) {
        error = path + ": " + reader.errorString().toStdString();
        return false;
    }
    // 16-bit grey keeps its depth; everything else is read as 8-bit grey.
    const bool deep = read.format() == QImage::Format_Grayscale16 || read.depth() > 32;
    const QImage grey =
        read.convertToFormat(deep ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8);
    image.width = grey.width();
    image.height = grey.height();
    image.pixels.assign(static_cast<size_t>(image.width) * image.height, 0.0f);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const float v =
                deep ? reinterpret_cast<const quint16*>(grey.constScanLine(y))[x] / 257.0f
                     : static_cast<float>(grey.constScanLine(y)[x]);
            image.pixels[static_cast<size_t>(y) * image.width + x] = v;
        }
    }
    return true;
}
#endif

bool phaseFromFile(const std::string& path, TPhaseRecord& phase, std::int32_t& laueGroup,
                   std::string& error) {
    const ebsp_structure::UserPhaseResult loaded = ebsp_structure::loadUserPhase(path);
    if (!loaded.ok) {
        error = loaded.error;
        return false;
    }
    phase = loaded.phase.record;
    laueGroup = loaded.phase.laueGroup;
    return true;
}

}  // namespace

int runFit(const std::vector<std::string>& args) {
    ebsp::fit::FitEnvironment environment;
#ifdef EBSP_TOOL_RENDER
    environment.loader = loadWithQt;
#endif
    environment.phaseFromFile = phaseFromFile;
    return ebsp::fit::runFitCommand(args, std::cout, std::cerr, environment);
}

}  // namespace ebsp_tool
