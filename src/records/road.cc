// Road records (see road.h).
#include "records/road.h"

#include <climits>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>
#include <type_traits>

#include "host/frame.h"
#include "records/line_scan.h"
#include "records/record_io.h"
#include "records/record_line.h"
#include "records/record_steps.h"
#include "records/scanners.h"
#include "transport/commands.h"
#include "transport/latin1.h"

int32_t NoNoiseFactors = 0;

namespace {

constexpr const wchar_t* Kind = L"ROAD";

bool AsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
bool Blank(wchar_t c) { return c == L' ' || c == L'\t'; }

// Only blanks are left of the line.
bool AtEnd(const LineScan& scan) {
  const wchar_t* p = scan.Rest();
  while (Blank(*p)) ++p;
  return *p == 0;
}

// The road's name for messages.
std::string Label(const RoadRec* record) { return Narrow(FieldText(record->name, RoadNameSize).c_str()); }

// A required quoted text that must fit its field whole.
int32_t Quoted(const wchar_t* label, const wchar_t* keyword, wchar_t* out, size_t size) {
  if (GetKeyString(Kind, true, label, keyword, out, size) != 1) return -1;
  return IORQuotedFits("ROAD", label, keyword, size) ? 1 : -1;
}

// Reads the next line, which must be there; false with "ROAD (name): Out of
// data scanning <what>".
bool NeedLine(const RoadRec* record, const char* what) {
  int32_t r = IORGetLine();
  if (r == 1) return true;
  if (r == 0) SetLineErrorText("ROAD (%s): Out of data scanning %s\n", Label(record).c_str(), what);
  return false;
}

// The keyword ends where the line ends or a blank follows.
const wchar_t* AfterKeyword(const wchar_t* line, const wchar_t* keyword) {
  size_t n = wcslen(keyword);
  if (wcsncmp(line, keyword, n) != 0) return nullptr;
  if (line[n] != 0 && !Blank(line[n])) return nullptr;
  return line + n;
}

// The text after the keyword and its blanks, up to the first ASCII letter:
// building heights and noise factors.  A text longer than the field holds is
// refused rather than cut.
bool NumbersText(const RoadRec* record, const wchar_t* keyword, wchar_t* out, size_t size) {
  const wchar_t* rest = AfterKeyword(IORLine(), keyword);
  if (!rest) {
    SetErrorText("ROAD (%s): Expecting %s not %s\n", Label(record).c_str(), Narrow(keyword).c_str(),
                 Narrow(IORLine()).c_str());
    return false;
  }
  while (Blank(*rest)) ++rest;
  size_t n = 0;
  while (rest[n] && !AsciiLetter(rest[n])) ++n;
  if (n + 1 > size) {
    SetErrorText("ROAD (%s): %s is longer than %d characters, which the record cannot hold\n", Label(record).c_str(),
                 Narrow(keyword).c_str(), static_cast<int>(size - 1));
    return false;
  }
  wmemcpy(out, rest, n);
  out[n] = 0;
  return true;
}

// "EMIFAC" and up to twelve class numbers 1 .. 65535.
int32_t ReadEmissionFactors(RoadRec* record) {
  if (!NeedLine(record, "EMIFAC")) return -1;
  const wchar_t* rest = AfterKeyword(IORLine(), L"EMIFAC");
  if (!rest) {
    SetErrorText("ROAD (%s): Expecting EMIFAC not %s\n", Label(record).c_str(), Narrow(IORLine()).c_str());
    return -1;
  }
  int k = 0;
  for (LineScan scan(rest);;) {
    scan.Blanks();
    if (*scan.Rest() == 0) break;
    long long v = 0;
    if (k == RoadEmissionFactors || !scan.Integer(&v) || v < 1 || v > UINT16_MAX ||
        (*scan.Rest() != 0 && !Blank(*scan.Rest()))) {
      SetErrorText("ROAD (%s): EMIFAC must hold at most %d class numbers from 1 to 65535: %s\n",
                   Label(record).c_str(), RoadEmissionFactors, Narrow(IORLine()).c_str());
      return -1;
    }
    record->emifac[k++] = static_cast<uint16_t>(v);
  }
  return 1;
}

// "VEH<n> index timevar value" lines, then the HEAVYSPEED line.
int32_t ReadTraffic(RoadRec* record, RoadTrafficVector* traffic) {
  for (int n = 1;; ++n) {
    int32_t r = IORGetLine();
    if (r != 1) {
      if (r == 0) SetLineErrorText("Road (%s): Out of data scanning VEH%d\n", Label(record).c_str(), n);
      return -1;
    }
    const wchar_t* line = IORLine();
    wchar_t keyword[16];
    swprintf(keyword, 16, L"VEH%d", n);
    LineScan scan(line);
    long long index = 0, timevar = 0;
    double value = 0;
    float v = 0;
    if (scan.Keyword(keyword) && scan.Integer(&index) && scan.Integer(&timevar) && scan.Decimal(&value) &&
        AtEnd(scan)) {
      if (index < INT32_MIN || index > INT32_MAX || timevar < INT32_MIN || timevar > INT32_MAX ||
          !keyscan::FloatFits(value, &v)) {
        SetErrorText("ROAD (%s): Error in %s: %s\n", Label(record).c_str(), Narrow(keyword).c_str(),
                     Narrow(line).c_str());
        return -1;
      }
      if (!traffic->Add(static_cast<int32_t>(index), static_cast<int32_t>(timevar), v)) {
        SetErrorText("Road (%s): Can't alloc traffic vector VEH%d: %s\n", Label(record).c_str(), n,
                     Narrow(line).c_str());
        return -1;
      }
      continue;
    }
    if (!keyscan::ScanLong(line, L"HEAVYSPEED", &record->heavyspeed)) {
      SetErrorText("ROAD (%s): Out of data scanning HEAVYSPEED: %s\n", Label(record).c_str(), Narrow(line).c_str());
      return -1;
    }
    return 1;
  }
}

// "KEYWORD a b": up to two numbers; missing ones stay 0.
template <class T>
bool ReadPair(const RoadRec* record, const wchar_t* keyword, T* out) {
  if (!NeedLine(record, Narrow(keyword).c_str())) return false;
  const wchar_t* rest = AfterKeyword(IORLine(), keyword);
  bool ok = rest != nullptr;
  LineScan scan(ok ? rest : L"");
  for (int i = 0; ok && i < 2; ++i) {
    scan.Blanks();
    if (*scan.Rest() == 0) break;
    double d = 0;
    long long w = 0;
    if constexpr (std::is_floating_point_v<T>) {
      float f = 0;
      ok = scan.Decimal(&d) && keyscan::FloatFits(d, &f);
      if (ok) out[i] = f;
    } else {
      ok = scan.Integer(&w) && w >= INT32_MIN && w <= INT32_MAX;
      if (ok) out[i] = static_cast<T>(w);
    }
  }
  if (ok) {
    scan.Blanks();
    ok = *scan.Rest() == 0;
  }
  if (!ok) {
    SetErrorText("ROAD (%s): Error in %s: %s\n", Label(record).c_str(), Narrow(keyword).c_str(),
                 Narrow(IORLine()).c_str());
  }
  return ok;
}

// After the ALOB label: with a count, that many lines; without one, the
// lines up to an empty line or the first coordinate line.  Leaves the line
// after the ALOB unread (pushed back) or the reply at its end.
int32_t ReadAlob(RoadRec* record, Alob* alob) {
  const wchar_t* rest = AfterKeyword(IORLine(), L"ALOB");
  if (!rest) {
    SetErrorText("ROAD (%s): ALOB must start with label ALOB\n", Label(record).c_str());
    return -1;
  }
  long long count = -1;
  LineScan scan(rest);
  scan.Blanks();
  if (*scan.Rest() != 0 && !(scan.Integer(&count) && count >= 0 && count <= INT32_MAX && AtEnd(scan))) {
    SetErrorText("ROAD (%s): ALOB must start with label ALOB\n", Label(record).c_str());
    return -1;
  }
  std::wstring name = FieldText(record->name, RoadNameSize);
  for (long long n = 0; count < 0 || n < count; ++n) {
    int32_t r = IORGetLine();
    if (r != 1) {
      if (r == 0 && count >= 0) SetLineErrorText("ROAD (%s): Out of data scanning ALOB data\n", Label(record).c_str());
      return r == 0 && count < 0 ? 1 : -1;
    }
    const wchar_t* line = IORLine();
    if (count < 0) {
      int x = 0, y = 0;
      if (line[0] == 0 || swscanf(line, L"X0 %d Y0 %d", &x, &y) == 2) {
        IORUngetLine();
        return 1;
      }
    }
    if (wcslen(line) > static_cast<size_t>(MaxAlobLine)) {
      SetErrorText("ROAD (%s): ALOB must be less than 255 chars: %s\n", Label(record).c_str(), Narrow(line).c_str());
      return -1;
    }
    if (AlobConcatenate(alob, line, name.c_str()) != 0) {
      SetErrorText("ROAD (%s): Error allocating alob", Label(record).c_str());
      return -1;
    }
  }
  return 1;
}

// "X<n> x Y<n> y" lines from n = 0; an empty line or the end of the reply
// ends the road.
int32_t ReadCoordinates(RoadRec* record, RoadCoordVector* coordinates) {
  for (int n = 0;; ++n) {
    int32_t r = IORGetLine();
    if (r < 0) return -1;
    if (r == 0 || IORLine()[0] == 0) return 1;
    const wchar_t* line = IORLine();
    wchar_t xKey[16], yKey[16];
    swprintf(xKey, 16, L"X%d", n);
    swprintf(yKey, 16, L"Y%d", n);
    LineScan scan(line);
    long long x = -1, y = -1;
    bool hasX = scan.Keyword(xKey) && scan.Integer(&x);
    bool hasY = hasX && scan.Blanks() && scan.Keyword(yKey) && scan.Integer(&y) && AtEnd(scan);
    if (!hasX || !hasY || x < 0 || x > INT32_MAX || y < 0 || y > INT32_MAX) {
      SetErrorText("ROAD (%s): Error in coordinate pair %d: %s\n", Label(record).c_str(), n + 1, Narrow(line).c_str());
      return -1;
    }
    try {
      coordinates->x.push_back(static_cast<int32_t>(x));
      coordinates->y.push_back(static_cast<int32_t>(y));
    } catch (const std::bad_alloc&) {
      SetErrorText("ROAD (%s): Error allocating X %d", Label(record).c_str(), n);
      return -1;
    }
  }
}

int32_t ReadRecord(RoadRec* record, Alob* alob, RoadCoordVector* coordinates, CodeString* geocode,
                   RoadTrafficVector* traffic) {
  int32_t r = GetKeyString(Kind, false, L"", L"NAME", record->name, RoadNameSize);
  if (r != 1) return r;
  if (!IORQuotedFits("ROAD", L"", L"NAME", RoadNameSize)) return -1;
  std::wstring name = FieldText(record->name, RoadNameSize);
  const wchar_t* label = name.c_str();
  if (Quoted(label, L"INFO", record->info, RoadNameSize) != 1 ||
      Quoted(label, L"INFO2", record->info2, RoadInfo2Size) != 1 ||
      GetKeyLong(Kind, label, L"VEHICLES", &record->vehicles) != 1 ||
      Quoted(label, L"VEHICLEMACRO", record->vehiclemacro, RoadMacroSize) != 1 ||
      GetKeyFloat(Kind, label, L"CORRFACTOR", &record->corrfactor) != 1 ||
      GetKeyLong(Kind, label, L"NOLANES", &record->nolanes) != 1 ||
      GetKeyLong(Kind, label, L"SPEED", &record->speed) != 1 ||
      GetKeyUShort(Kind, label, L"ROADTYPE", &record->roadtype) != 1 || ReadEmissionFactors(record) != 1 ||
      ReadTraffic(record, traffic) != 1) {
    return -1;
  }
  const wchar_t* const congestion[3] = {L"CONGSPEED1", L"CONGSPEED2", L"CONGSPEED3"};
  const wchar_t* const heavy[3] = {L"HEAVYCONGSPEED1", L"HEAVYCONGSPEED2", L"HEAVYCONGSPEED3"};
  for (int i = 0; i < 3; ++i) {
    if (GetKeyLong(Kind, label, congestion[i], &record->congspeed[i]) != 1) return -1;
  }
  for (int i = 0; i < 3; ++i) {
    if (GetKeyLong(Kind, label, heavy[i], &record->heavycongspeed[i]) != 1) return -1;
  }
  if (GetKeyFloat(Kind, label, L"PERCHEAVY", &record->percheavy) != 1) return -1;
  for (int k = 0; k < RoadSearchkeys; ++k) {
    wchar_t keyword[16];
    swprintf(keyword, 16, L"SEARCHKEY%d", k + 1);
    if (GetKeyUShort(Kind, label, keyword, &record->searchkey[k]) != 1) return -1;
  }
  if (!NeedLine(record, "GEOCODE")) return -1;
  const wchar_t* code = AfterKeyword(IORLine(), L"GEOCODE");
  if (!code) {
    SetErrorText("ROAD (%s): Expecting GEOCODE not %s\n", Label(record).c_str(), Narrow(IORLine()).c_str());
    return -1;
  }
  if (*code) ++code;  // the one separator
  if (geocode && CopyCode(geocode, code) != 0) return -1;
  if (GetKeyLong(Kind, label, L"WIDTH", &record->width) != 1 ||
      GetKeyLong(Kind, label, L"DISTHOUSES", &record->disthouses) != 1 ||
      GetKeyLong(Kind, label, L"SLOPE", &record->slope) != 1 ||
      GetKeyLong(Kind, label, L"ELEVATION", &record->elevation) != 1) {
    return -1;
  }
  if (!NeedLine(record, "HEIGHT") || !NumbersText(record, L"HEIGHT", record->height, RoadHeightSize)) return -1;
  if (!ReadPair(record, L"BARRIERHEIGHT", record->barrierheight) ||
      !ReadPair(record, L"BARRIERANGLE", record->barrierangle) ||
      !ReadPair(record, L"BARRIERDISTANCE", record->barrierdistance)) {
    return -1;
  }
  if (!NeedLine(record, "noise or ALOB")) return -1;
  if (AfterKeyword(IORLine(), L"NOISE")) {
    if (!NumbersText(record, L"NOISE", record->noise, RoadNoiseSize) || !NeedLine(record, "ALOB")) return -1;
  }
  if (ReadAlob(record, alob) != 1) return -1;
  return ReadCoordinates(record, coordinates);
}

int32_t WriteRecord(const RoadRec* record, const Alob* alob, const RoadCoordVector* coordinates,
                    const CodeString* geocode, const RoadTrafficVector* traffic) {
  RecordLine line;
  auto quoted = [&line](const char* keyword, const wchar_t* field, size_t size) {
    return line.Put(keyword).Put(" \"").Field(field, size).Put('"').Send() == 1;
  };
  auto whole = [&line](const char* keyword, int32_t value) { return line.Put(keyword).Put(' ').Int(value).Send() == 1; };
  auto real = [&line](const char* keyword, float value) { return line.Put(keyword).Put(' ').Float(value).Send() == 1; };
  if (!quoted("NAME", record->name, RoadNameSize) || !quoted("INFO", record->info, RoadNameSize) ||
      !quoted("INFO2", record->info2, RoadInfo2Size) || !whole("VEHICLES", record->vehicles) ||
      !quoted("VEHICLEMACRO", record->vehiclemacro, RoadMacroSize) || !real("CORRFACTOR", record->corrfactor) ||
      !whole("NOLANES", record->nolanes) || !whole("SPEED", record->speed) || !whole("ROADTYPE", record->roadtype)) {
    return -1;
  }
  line.Put("EMIFAC ");
  for (int k = 0; k < RoadEmissionFactors && record->emifac[k] != 0; ++k) {
    if (k > 0) line.Put(' ');
    line.Int(record->emifac[k]);
  }
  if (line.Send() != 1) return -1;
  for (size_t i = 0; i < traffic->Count(); ++i) {
    if (line.Put("VEH").Int(static_cast<int32_t>(i + 1)).Put(' ').Int(traffic->index[i]).Put(' ')
            .Int(traffic->timevar[i]).Put(' ').Float(traffic->value[i]).Send() != 1) {
      return -1;
    }
  }
  if (!whole("HEAVYSPEED", record->heavyspeed) || !whole("CONGSPEED1", record->congspeed[0]) ||
      !whole("CONGSPEED2", record->congspeed[1]) || !whole("CONGSPEED3", record->congspeed[2]) ||
      !whole("HEAVYCONGSPEED1", record->heavycongspeed[0]) || !whole("HEAVYCONGSPEED2", record->heavycongspeed[1]) ||
      !whole("HEAVYCONGSPEED3", record->heavycongspeed[2]) || !real("PERCHEAVY", record->percheavy)) {
    return -1;
  }
  for (int k = 0; k < RoadSearchkeys; ++k) {
    if (line.Put("SEARCHKEY").Int(k + 1).Put(' ').Int(record->searchkey[k]).Send() != 1) return -1;
  }
  const wchar_t* code = geocode ? geocode->Text() : L"";
  if (line.Put("GEOCODE ").Field(code, wcslen(code) + 1).Send() != 1) return -1;
  if (!whole("WIDTH", record->width) || !whole("DISTHOUSES", record->disthouses) || !whole("SLOPE", record->slope) ||
      !whole("ELEVATION", record->elevation) ||
      line.Put("HEIGHT ").Field(record->height, RoadHeightSize).Send() != 1 ||
      line.Put("BARRIERHEIGHT ").Float(record->barrierheight[0]).Put(' ').Float(record->barrierheight[1]).Send() != 1 ||
      line.Put("BARRIERANGLE ").Int(record->barrierangle[0]).Put(' ').Int(record->barrierangle[1]).Send() != 1 ||
      line.Put("BARRIERDISTANCE ").Float(record->barrierdistance[0]).Put(' ').Float(record->barrierdistance[1])
              .Send() != 1) {
    return -1;
  }
  // Noise factors the road has are sent also when no verification counted
  // them, so that a Save never drops what the sheet holds.
  if ((NoNoiseFactors != 0 || record->noise[0] != 0) &&
      line.Put("NOISE ").Field(record->noise, RoadNoiseSize).Send() != 1) {
    return -1;
  }
  if (PutAlob(alob, record->name, L"") != 0) return -1;
  for (size_t i = 0; i < coordinates->Count(); ++i) {
    int32_t n = static_cast<int32_t>(i);
    if (line.Put("X").Int(n).Put(' ').Int(coordinates->x[i]).Put(" Y").Int(n).Put(' ').Int(coordinates->y[i])
            .Send() != 1) {
      return -1;
    }
  }
  return line.Send();
}

}  // namespace

bool RoadTrafficVector::Add(int32_t i, int32_t t, float v) {
  try {
    index.push_back(i);
    timevar.push_back(t);
    value.push_back(v);
  } catch (const std::bad_alloc&) {
    index.resize(value.size());
    timevar.resize(value.size());
    return false;
  }
  return true;
}

int32_t RoadEmissionFactorCount(const RoadRec& record) {
  int32_t n = 0;
  while (n < RoadEmissionFactors && record.emifac[n] != 0) ++n;
  return n;
}

int32_t IORRoadGetRec(int32_t first, RoadRec* record, Alob* alob, RoadCoordVector* coordinates, CodeString* geocode,
                      RoadTrafficVector* traffic) {
  if (DebugLevel > 0) DebugPrint(" --> IORRoadGetRec(%d)\n", static_cast<int>(first));
  if (first) {
    IORStartRead();
    if (IOLRoadsGetAll() != 1) return IORLogged("IORRoadGetRec", -1);
  }
  std::memset(record, 0, sizeof *record);
  alob->Clear();
  coordinates->Clear();
  traffic->Clear();
  if (geocode) CopyCode(geocode, L"");
  return IORLogged("IORRoadGetRec", ReadRecord(record, alob, coordinates, geocode, traffic));
}

int32_t IORRoadPutRec(int32_t operation, const RoadRec* record, const Alob* alob, const RoadCoordVector* coordinates,
                      const CodeString* geocode, const RoadTrafficVector* traffic) {
  if (DebugLevel > 0) DebugPrint(" --> IORRoadPutRec(%d)\n", static_cast<int>(operation));
  RecordSave save;
  save.start = [](int32_t flags) { return IOLRoadsPut(flags); };
  save.write = [=]() { return WriteRecord(record, alob, coordinates, geocode, traffic); };
  save.knowsStartFlag1 = true;
  return IORLogged("IORRoadPutRec", RunRecordOperation(operation, save));
}
