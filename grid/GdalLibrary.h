#pragma once
// GDAL's C functions, looked up in the library when a grid first needs them
// rather than linked: GDAL brings a hundred libraries of its own, which every
// run would otherwise load at start whether it touches a raster or not. Each
// pointer has the type of the function it stands for, so GDAL's headers
// still check every call. Once loaded, the library stays for the program's
// life.

#include <cpl_error.h>
#include <gdal.h>
#include <ogr_srs_api.h>

#include <memory>
#include <string>

namespace torvane {

struct GdalLibrary {
  decltype(&::GDALAllRegister) GDALAllRegister;
  decltype(&::GDALOpenEx) GDALOpenEx;
  decltype(&::GDALClose) GDALClose;
  decltype(&::GDALGetDatasetDriver) GDALGetDatasetDriver;
  decltype(&::GDALGetDescription) GDALGetDescription;
  decltype(&::GDALGetRasterCount) GDALGetRasterCount;
  decltype(&::GDALGetGeoTransform) GDALGetGeoTransform;
  decltype(&::GDALSetGeoTransform) GDALSetGeoTransform;
  decltype(&::GDALGetRasterXSize) GDALGetRasterXSize;
  decltype(&::GDALGetRasterYSize) GDALGetRasterYSize;
  decltype(&::GDALGetRasterBand) GDALGetRasterBand;
  decltype(&::GDALGetRasterNoDataValue) GDALGetRasterNoDataValue;
  decltype(&::GDALSetRasterNoDataValue) GDALSetRasterNoDataValue;
  decltype(&::GDALGetRasterDataType) GDALGetRasterDataType;
  decltype(&::GDALGetRasterScale) GDALGetRasterScale;
  decltype(&::GDALGetRasterOffset) GDALGetRasterOffset;
  decltype(&::GDALRasterIO) GDALRasterIO;
  decltype(&::GDALGetDriverByName) GDALGetDriverByName;
  decltype(&::GDALCreate) GDALCreate;
  decltype(&::CPLPushErrorHandler) CPLPushErrorHandler;
  decltype(&::CPLPopErrorHandler) CPLPopErrorHandler;
  decltype(&::CPLQuietErrorHandler) CPLQuietErrorHandler;
  decltype(&::CPLErrorReset) CPLErrorReset;
  decltype(&::CPLGetLastErrorMsg) CPLGetLastErrorMsg;
  decltype(&::CPLGetLastErrorType) CPLGetLastErrorType;
  decltype(&::VSIFree) VSIFree;
  // A grid's coordinate reference system.
  decltype(&::GDALGetSpatialRef) GDALGetSpatialRef;
  decltype(&::GDALSetSpatialRef) GDALSetSpatialRef;
  decltype(&::OSRNewSpatialReference) OSRNewSpatialReference;
  decltype(&::OSRDestroySpatialReference) OSRDestroySpatialReference;
  decltype(&::OSRSetFromUserInput) OSRSetFromUserInput;
  decltype(&::OSRSetAxisMappingStrategy) OSRSetAxisMappingStrategy;
  decltype(&::OSRExportToWktEx) OSRExportToWktEx;
  decltype(&::OSRMorphToESRI) OSRMorphToESRI;
  decltype(&::OSRIsGeographic) OSRIsGeographic;
  // What a band holds.
  decltype(&::GDALGetMetadataItem) GDALGetMetadataItem;
  decltype(&::GDALGetRasterUnitType) GDALGetRasterUnitType;
  decltype(&::GDALSetRasterUnitType) GDALSetRasterUnitType;
  // netCDF written through the multidimensional API, which names every
  // dimension, variable and attribute as CF asks.
  decltype(&::GDALCreateMultiDimensional) GDALCreateMultiDimensional;
  decltype(&::GDALDatasetGetRootGroup) GDALDatasetGetRootGroup;
  decltype(&::GDALGroupRelease) GDALGroupRelease;
  decltype(&::GDALGroupCreateDimension) GDALGroupCreateDimension;
  decltype(&::GDALDimensionRelease) GDALDimensionRelease;
  decltype(&::GDALGroupCreateMDArray) GDALGroupCreateMDArray;
  decltype(&::GDALMDArrayRelease) GDALMDArrayRelease;
  decltype(&::GDALMDArrayWrite) GDALMDArrayWrite;
  decltype(&::GDALMDArraySetNoDataValueAsDouble) GDALMDArraySetNoDataValueAsDouble;
  decltype(&::GDALMDArraySetUnit) GDALMDArraySetUnit;
  decltype(&::GDALMDArraySetSpatialRef) GDALMDArraySetSpatialRef;
  decltype(&::GDALMDArrayCreateAttribute) GDALMDArrayCreateAttribute;
  decltype(&::GDALAttributeWriteString) GDALAttributeWriteString;
  decltype(&::GDALAttributeRelease) GDALAttributeRelease;
  decltype(&::GDALExtendedDataTypeCreate) GDALExtendedDataTypeCreate;
  decltype(&::GDALExtendedDataTypeCreateString) GDALExtendedDataTypeCreateString;
  decltype(&::GDALExtendedDataTypeRelease) GDALExtendedDataTypeRelease;
};

// GDAL with its drivers registered, loaded by the first call from any
// thread. Null when the library or one of the functions is missing;
// `reason` then says why (the loader's words, naming the library).
const GdalLibrary* LoadGdal(std::string& reason);

// A dataset GDAL opened or created, closed (and so written) when it goes.
struct GdalDatasetClose {
  const GdalLibrary* gdal;
  void operator()(GDALDatasetH dataset) const { gdal->GDALClose(dataset); }
};
using GdalDataset = std::unique_ptr<void, GdalDatasetClose>;

// Closes a dataset GDAL wrote, which writes what GDAL still holds; false,
// with `reason` naming `what` and GDAL's words, when that failed.
bool FinishGdalDataset(const GdalLibrary& gdal, GdalDataset& dataset, const std::string& what,
                       std::string& reason);

// GDAL's messages go nowhere while it is asked: the user hears from us.
class QuietGdal {
 public:
  explicit QuietGdal(const GdalLibrary& gdal) : gdal_(gdal) {
    gdal_.CPLPushErrorHandler(gdal_.CPLQuietErrorHandler);
  }
  ~QuietGdal() { gdal_.CPLPopErrorHandler(); }
  QuietGdal(const QuietGdal&) = delete;
  QuietGdal& operator=(const QuietGdal&) = delete;

 private:
  const GdalLibrary& gdal_;
};

}  // namespace torvane
