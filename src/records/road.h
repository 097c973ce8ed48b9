// Roads as text records: a line source with traffic, speeds, street-canyon
// and barrier data, noise factors, emission factors or a roadtype, five
// searchkeys and its polyline.  The ALOB, the geocode, the coordinates and
// the traffic (or direct emissions) travel beside the record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "records/alob.h"
#include "records/code_string.h"

constexpr size_t RoadNameSize = 48;      // name, info: at most 47 characters
constexpr size_t RoadInfo2Size = 64;     // at most 63
constexpr size_t RoadMacroSize = 32;     // vehicle macro: at most 31
constexpr size_t RoadHeightSize = 64;    // building heights as text: at most 63
constexpr size_t RoadNoiseSize = 64;     // noise factors as text: at most 63
constexpr int RoadEmissionFactors = 12;  // one per road-vehicle dimension at most
constexpr int RoadSearchkeys = 5;
// The most coordinates a road row of the sheet can hold.
constexpr int32_t RoadMaxCoordinates = 2000;

struct RoadRec {
  wchar_t name[RoadNameSize];
  wchar_t info[RoadNameSize];
  wchar_t info2[RoadInfo2Size];
  int32_t vehicles;
  wchar_t vehiclemacro[RoadMacroSize];
  float corrfactor;
  int32_t nolanes;
  int32_t speed;                          // index in the speed list
  uint16_t roadtype;                      // 0: none (emission factors instead)
  uint16_t searchkey[RoadSearchkeys];     // 0: none
  int32_t congspeed[3];                   // see the sheet: speed indexes or class numbers
  int32_t heavyspeed;
  int32_t heavycongspeed[3];
  float percheavy;
  int32_t width;
  int32_t disthouses;
  int32_t slope;
  int32_t elevation;
  wchar_t height[RoadHeightSize];         // twelve heights separated by blanks
  wchar_t noise[RoadNoiseSize];           // noise factors separated by blanks
  uint16_t emifac[RoadEmissionFactors];   // 1-based class per dimension; the first 0 ends them
  float barrierheight[2];
  int32_t barrierangle[2];
  float barrierdistance[2];
};

// The polyline: parallel x and y.
struct RoadCoordVector {
  std::vector<int32_t> x;
  std::vector<int32_t> y;
  size_t Count() const { return x.size(); }
  void Clear() {
    x.clear();
    y.clear();
  }
};

// Traffic entries (value >= 0: road vehicle and its share of the traffic)
// or direct emissions (value < 0: substance and minus its emission).
struct RoadTrafficVector {
  std::vector<int32_t> index;
  std::vector<int32_t> timevar;
  std::vector<float> value;
  size_t Count() const { return index.size(); }
  void Clear() {
    index.clear();
    timevar.clear();
    value.clear();
  }
  // False when memory runs out.
  bool Add(int32_t i, int32_t t, float v);
};

// Number of noise factors per road that the latest road-sheet verification
// found; 0: the roads carry none.
extern int32_t NoNoiseFactors;

// Number of emission factors up to the first 0.
int32_t RoadEmissionFactorCount(const RoadRec& record);

// Reads the next road; first != 0 starts the listing.  record is cleared,
// alob, coordinates and traffic emptied; geocode may be null (the GEOCODE
// line is read, not kept).  1 a road, 0 no more roads, -1 failure.
// REQUIRES: record, alob, coordinates and traffic not null.
int32_t IORRoadGetRec(int32_t first, RoadRec* record, Alob* alob, RoadCoordVector* coordinates, CodeString* geocode,
                      RoadTrafficVector* traffic);

// Writer operations (RecordOperation, operation 5 included): 1, or -1.
// REQUIRES: for operation 1 record, coordinates and traffic not null; alob
// and geocode may be null (none).
int32_t IORRoadPutRec(int32_t operation, const RoadRec* record, const Alob* alob, const RoadCoordVector* coordinates,
                      const CodeString* geocode, const RoadTrafficVector* traffic);
