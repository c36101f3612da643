// Opening GDAL by its soname, the one the build found (TORVANE_GDAL_SONAME),
// and looking up each function the grid files call.

#include "grid/GdalLibrary.h"

#include <dlfcn.h>

#include <mutex>

namespace torvane {
namespace {

struct Loaded {
  GdalLibrary functions{};
  bool ok = false;
  std::string reason;
};

// The loader's last words, with GDAL's soname before them unless they name
// it already (when a library GDAL needs is missing, they name that one).
std::string LoaderError(const char* fallback) {
  const char* const error = dlerror();
  const std::string words = error != nullptr ? error : fallback;
  if (words.find(TORVANE_GDAL_SONAME) != std::string::npos) return words;
  return TORVANE_GDAL_SONAME ": " + words;
}

// `function` from the library, false (with the loader's words) when it has
// none of that name.
template <typename Function>
bool Resolve(void* library, const char* name, Function& function, std::string& reason) {
  dlerror();
  void* const address = dlsym(library, name);
  if (address == nullptr) {
    reason = LoaderError((std::string("no function ") + name).c_str());
    return false;
  }
  function = reinterpret_cast<Function>(address);
  return true;
}

#define TORVANE_RESOLVE(name) Resolve(library, #name, loaded.functions.name, loaded.reason)

Loaded Load() {
  Loaded loaded;
  // Never closed: GDAL's drivers keep state until the program ends.
  void* const library = dlopen(TORVANE_GDAL_SONAME, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    loaded.reason = LoaderError("cannot be opened");
    return loaded;
  }
  // Every function, stopping at the first the library lacks.
  loaded.ok = TORVANE_RESOLVE(GDALAllRegister) &&
              TORVANE_RESOLVE(GDALOpenEx) &&
              TORVANE_RESOLVE(GDALClose) &&
              TORVANE_RESOLVE(GDALGetDatasetDriver) &&
              TORVANE_RESOLVE(GDALGetDescription) &&
              TORVANE_RESOLVE(GDALGetRasterCount) &&
              TORVANE_RESOLVE(GDALGetGeoTransform) &&
              TORVANE_RESOLVE(GDALSetGeoTransform) &&
              TORVANE_RESOLVE(GDALGetRasterXSize) &&
              TORVANE_RESOLVE(GDALGetRasterYSize) &&
              TORVANE_RESOLVE(GDALGetRasterBand) &&
              TORVANE_RESOLVE(GDALGetRasterNoDataValue) &&
              TORVANE_RESOLVE(GDALSetRasterNoDataValue) &&
              TORVANE_RESOLVE(GDALGetRasterDataType) &&
              TORVANE_RESOLVE(GDALGetRasterScale) &&
              TORVANE_RESOLVE(GDALGetRasterOffset) &&
              TORVANE_RESOLVE(GDALRasterIO) &&
              TORVANE_RESOLVE(GDALGetDriverByName) &&
              TORVANE_RESOLVE(GDALCreate) &&
              TORVANE_RESOLVE(CPLPushErrorHandler) &&
              TORVANE_RESOLVE(CPLPopErrorHandler) &&
              TORVANE_RESOLVE(CPLQuietErrorHandler) &&
              TORVANE_RESOLVE(CPLErrorReset) &&
              TORVANE_RESOLVE(CPLGetLastErrorMsg) &&
              TORVANE_RESOLVE(CPLGetLastErrorType) &&
              TORVANE_RESOLVE(VSIFree) &&
              TORVANE_RESOLVE(GDALGetSpatialRef) &&
              TORVANE_RESOLVE(GDALSetSpatialRef) &&
              TORVANE_RESOLVE(OSRNewSpatialReference) &&
              TORVANE_RESOLVE(OSRDestroySpatialReference) &&
              TORVANE_RESOLVE(OSRSetFromUserInput) &&
              TORVANE_RESOLVE(OSRSetAxisMappingStrategy) &&
              TORVANE_RESOLVE(OSRExportToWktEx) &&
              TORVANE_RESOLVE(OSRMorphToESRI) &&
              TORVANE_RESOLVE(OSRIsGeographic) &&
              TORVANE_RESOLVE(GDALGetMetadataItem) &&
              TORVANE_RESOLVE(GDALGetRasterUnitType) &&
              TORVANE_RESOLVE(GDALSetRasterUnitType) &&
              TORVANE_RESOLVE(GDALCreateMultiDimensional) &&
              TORVANE_RESOLVE(GDALDatasetGetRootGroup) &&
              TORVANE_RESOLVE(GDALGroupRelease) &&
              TORVANE_RESOLVE(GDALGroupCreateDimension) &&
              TORVANE_RESOLVE(GDALDimensionRelease) &&
              TORVANE_RESOLVE(GDALGroupCreateMDArray) &&
              TORVANE_RESOLVE(GDALMDArrayRelease) &&
              TORVANE_RESOLVE(GDALMDArrayWrite) &&
              TORVANE_RESOLVE(GDALMDArraySetNoDataValueAsDouble) &&
              TORVANE_RESOLVE(GDALMDArraySetUnit) &&
              TORVANE_RESOLVE(GDALMDArraySetSpatialRef) &&
              TORVANE_RESOLVE(GDALMDArrayCreateAttribute) &&
              TORVANE_RESOLVE(GDALAttributeWriteString) &&
              TORVANE_RESOLVE(GDALAttributeRelease) &&
              TORVANE_RESOLVE(GDALExtendedDataTypeCreate) &&
              TORVANE_RESOLVE(GDALExtendedDataTypeCreateString) &&
              TORVANE_RESOLVE(GDALExtendedDataTypeRelease);
  if (loaded.ok) loaded.functions.GDALAllRegister();
  return loaded;
}

#undef TORVANE_RESOLVE

}  // namespace

const GdalLibrary* LoadGdal(std::string& reason) {
  static std::once_flag once;
  static Loaded loaded;
  std::call_once(once, [] { loaded = Load(); });
  if (loaded.ok) return &loaded.functions;
  reason = loaded.reason;
  return nullptr;
}

bool FinishGdalDataset(const GdalLibrary& gdal, GdalDataset& dataset, const std::string& what,
                       std::string& reason) {
  gdal.CPLErrorReset();
  dataset.reset();
  if (gdal.CPLGetLastErrorType() < CE_Failure) return true;
  reason = "GDAL could not finish the " + what + " file: " + gdal.CPLGetLastErrorMsg();
  return false;
}

}  // namespace torvane
