// Demonstration records per kind (see seed_records.h).  Names use ISO 8859-1
// ("\xE5" a with ring, "\xE4" a with diaeresis, "\xF6" o with diaeresis).
#include "seed_records.h"

#include <algorithm>
#include <map>
#include <stdexcept>

#include "record_kinds.h"
#include "reference_upload.h"

namespace edb {

namespace {

// Substances 1 to 36: the main air pollutants and greenhouse gases, heavy
// metals, persistent organic pollutants and individual hydrocarbons.
const char* const kSubstanceNames[] = {
    "NOx",     "SO2", "PM10", "PM2.5", "CO",  "NMVOC", "NH3", "CO2", "Benzene", "BaP",  "CH4",  "N2O",
    "Pb",      "Cd",  "Hg",   "As",    "Cr",  "Cu",    "Ni",  "Se",  "Zn",      "PCDD/F", "HCB", "PCB",
    "Benzo(b)fluoranthene",   "Benzo(k)fluoranthene",  "Indeno(1,2,3-cd)pyrene", "Naphthalene", "TSP",
    "Black carbon", "1,3-Butadiene", "Formaldehyde", "Toluene", "Xylene", "SF6", "HFC-134a"};

// Searchkey list 1: sectors.
const char* const kSectors[] = {
    "Energy",           "Industry",         "Shipping",         "Domestic heating", "Road traffic",
    "Aviation",         "Railways",         "Off-road machinery", "Agriculture",    "Waste",
    "Solvent use",      "Construction",     "Commercial heating", "Public heating", "Fishing",
    "Forestry",         "Refineries",       "Chemical industry", "Pulp and paper",  "Metal industry",
    "Mineral industry", "Food industry",    "Fuel distribution", "Wastewater",      "Landfills",
    "Small combustion", "Crematoria",       "Fireworks"};

// Searchkey list 2: city districts of Gothenburg.
const char* const kDistricts[] = {
    "Angered",       "Askim",          "Backa",        "Biskopsg\xE5rden", "Centrum",      "Fr\xF6lunda",
    "Gunnared",      "H\xE4rlanda",    "Kortedala",    "Linn\xE9staden",   "Lundby",       "L\xE4rjedalen",
    "Majorna",       "Norra Hisingen", "Styrs\xF6",    "Torslanda",        "Tuve-S\xE4ve", "Tynnered",
    "V\xE4stra G\xF6teborg", "\xD6rgryte", "H\xF6gsbo", ("K\xE4rra-R\xF6" "d"), "Bergsj\xF6n", "Johanneberg",
    "Kviberg",       "Hamnen",         "Arendal"};

// Searchkey list 3: fuels.
const char* const kFuels[] = {
    "Diesel",      "Petrol",      "Natural gas", "Biogas",        "LPG",         "Heating oil",  "Heavy fuel oil",
    "Wood pellets", "Wood chips", "Firewood",    "Coal",          "Coke",        "Peat",         "Ethanol E85",
    "HVO100",      "RME",         "Electricity", "District heat", "Hydrogen",    "Methanol",     "Kerosene",
    "Marine gas oil", "LNG",      "Waste",       "Landfill gas",  "Tall oil"};

// Searchkey list 5: where the figures come from.
const char* const kDataSources[] = {
    "Environmental report", "Permit",              "Fuel statistics",       "Traffic count",
    "HBEFA",                "EMEP/EEA guidebook",  "National inventory",    "Measurement campaign",
    "Continuous monitoring", "Stack test",         "Supplier data",         "Questionnaire",
    "Site visit",           "Estimate",            "Literature",            "Model calculation",
    "Port statistics",      "Airport statistics",  "Railway statistics",    "Energy balance",
    "Chimney sweep register", "Agricultural census", "Building register",   "Land use map",
    "Satellite data"};

template <size_t N>
std::vector<SubstanceEntry> Numbered(const char* const (&names)[N]) {
  std::vector<SubstanceEntry> entries;
  uint16_t index = 1;
  for (const char* name : names) entries.push_back(SubstanceEntry{index++, name});
  return entries;
}

// Substance indexes used below.
enum : int16_t {
  NOx = 1, SO2, PM10, PM25, CO, NMVOC, NH3, CO2, Benzene, BaP, CH4, N2O, Pb, Cd, Hg, As, Cr, Cu, Ni, Se, Zn,
  Dioxin, HCB, PCB, BbF, BkF, IcdP, Naphthalene, TSP, BC, Butadiene, Formaldehyde, Toluene, Xylene, SF6, HFC134a
};

struct GroupDefinition {
  const char* name;
  std::vector<GroupSlot> slots;
};

// Substance groups: emission per unit of activity, or (unit "%") the shares
// of a total.  Units are those of the demonstration resource file.
std::vector<GroupDefinition> GroupDefinitions() {
  const char* mwh = "MWh/year";
  const char* m3 = "m3/year";
  const char* ton = "ton/year";
  const char* pct = "%";
  return {
      {"Natural gas boiler", {{NOx, 0.15f, 0, mwh}, {CO, 0.09f, 0, mwh}, {CO2, 202, 0, mwh}, {CH4, 0.004f, 0, mwh},
                              {N2O, 0.0004f, 0, mwh}}},
      {"Heating oil boiler", {{NOx, 0.18f, 0, m3}, {SO2, 0.26f, 0, m3}, {PM10, 0.005f, 0, m3}, {CO, 0.04f, 0, m3},
                              {CO2, 2680, 0, m3}}},
      {"Heavy fuel oil", {{SO2, 1.8f, 0, mwh}, {NOx, 0.9f, 0, mwh}, {PM10, 0.09f, 0, mwh}, {Ni, 0.004f, 0, mwh},
                          {CO2, 280, 0, mwh}}},
      {"Wood stove old", {{PM10, 2.7f, 0, mwh}, {PM25, 2.6f, 0, mwh}, {BaP, 0.0011f, 0, mwh}, {CO, 18, 0, mwh},
                          {NMVOC, 4.6f, 0, mwh}, {BC, 0.3f, 0, mwh}}},
      {"Wood stove modern", {{PM10, 0.36f, 0, mwh}, {PM25, 0.34f, 0, mwh}, {BaP, 0.0002f, 0, mwh},
                             {CO, 3.6f, 0, mwh}, {NMVOC, 0.5f, 0, mwh}}},
      {"Pellet boiler", {{PM10, 0.07f, 0, mwh}, {PM25, 0.06f, 0, mwh}, {NOx, 0.29f, 0, mwh}, {CO, 0.8f, 0, mwh}}},
      {"Wood chip boiler", {{NOx, 0.36f, 0, mwh}, {PM10, 0.05f, 0, mwh}, {CO, 0.5f, 0, mwh},
                            {Cd, 5e-06f, 0, mwh}, {Pb, 3e-05f, 0, mwh}}},
      {"Biogas engine", {{NOx, 0.8f, 0, mwh}, {CO, 1.2f, 0, mwh}, {CH4, 1.5f, 0, mwh},
                         {Formaldehyde, 0.05f, 0, mwh}}},
      {"Diesel generator", {{NOx, 3.2f, 0, mwh}, {PM10, 0.25f, 0, mwh}, {CO, 0.8f, 0, mwh}, {CO2, 265, 0, mwh},
                            {NMVOC, 0.1f, 0, mwh}}},
      {"Ship MGO at berth", {{NOx, 56, 0, ton}, {SO2, 2, 0, ton}, {PM10, 1.2f, 0, ton}, {CO2, 3206, 0, ton},
                             {BC, 0.06f, 0, ton}}},
      {"Ship HFO", {{NOx, 79, 0, ton}, {SO2, 10, 0, ton}, {PM10, 5.3f, 0, ton}, {Ni, 0.03f, 0, ton},
                    {CO2, 3114, 0, ton}}},
      {"Waste incinerator", {{NOx, 0.35f, 0, ton}, {SO2, 0.02f, 0, ton}, {Hg, 5e-05f, 0, ton},
                             {Cd, 1e-05f, 0, ton}, {Dioxin, 2e-11f, 0, ton}, {Pb, 0.0001f, 0, ton},
                             {HCB, 1e-07f, 0, ton}}},
      {"Crematorium", {{Hg, 0.0015f, 0, ton}, {Dioxin, 5e-09f, 0, ton}, {NOx, 0.3f, 0, ton}, {PM10, 0.04f, 0, ton}}},
      {"Asphalt mixing", {{PM10, 0.06f, 0, ton}, {NMVOC, 0.02f, 0, ton}, {Naphthalene, 0.0002f, 0, ton},
                          {CO, 0.4f, 0, ton}, {BaP, 1e-06f, 0, ton}}},
      {"Spray painting", {{NMVOC, 100, 0, pct}, {Toluene, 12, 0, pct}, {Xylene, 9, 0, pct}}},
      {"Printing", {{NMVOC, 100, 0, pct}, {Toluene, 35, 0, pct}}},
      {"Dry cleaning", {{NMVOC, 100, 0, pct}, {Formaldehyde, 0.5f, 0, pct}}},
      {"Fuel station vapour", {{NMVOC, 100, 0, pct}, {Benzene, 1.2f, 0, pct}, {Toluene, 5.5f, 0, pct},
                               {Xylene, 3.1f, 0, pct}, {Butadiene, 0.1f, 0, pct}}},
      {"Bakery", {{NMVOC, 4.5f, 0, ton}, {PM10, 0.01f, 0, ton}}},
      {"Cement kiln", {{NOx, 1.24f, 0, ton}, {SO2, 0.37f, 0, ton}, {PM10, 0.1f, 0, ton}, {Hg, 4e-05f, 0, ton},
                       {CO2, 520, 0, ton}, {Dioxin, 4e-11f, 0, ton}}},
      {"Steel mill", {{PM10, 0.3f, 0, ton}, {Pb, 0.002f, 0, ton}, {Zn, 0.004f, 0, ton}, {Cr, 0.0008f, 0, ton},
                      {Ni, 0.0003f, 0, ton}, {Cd, 5e-05f, 0, ton}, {As, 2e-05f, 0, ton}}},
      {"Glass melting", {{NOx, 3.5f, 0, ton}, {SO2, 2, 0, ton}, {PM10, 0.3f, 0, ton}, {Pb, 0.005f, 0, ton},
                         {As, 0.0003f, 0, ton}, {Se, 0.0015f, 0, ton}}},
      {"Grain drying", {{TSP, 1.2f, 0, ton}, {PM10, 0.25f, 0, ton}, {PM25, 0.03f, 0, ton}}},
      {"Manure storage", {{NH3, 8.5f, 0, ton}, {CH4, 20, 0, ton}, {N2O, 0.8f, 0, ton}}},
      {"Landfill", {{CH4, 52, 1.5f, ton}, {NMVOC, 0.6f, 0, ton}, {NH3, 0.1f, 0, ton}}},
      {"Wastewater plant", {{CH4, 0.8f, 0.2f, m3}, {N2O, 0.16f, 0.05f, m3}, {NH3, 0.03f, 0, m3}}},
      {"Quarry", {{TSP, 0.16f, 0, ton}, {PM10, 0.08f, 0, ton}, {PM25, 0.012f, 0, ton}}},
      {"Road dust split", {{TSP, 100, 0, pct}, {PM10, 48, 0, pct}, {PM25, 12, 0, pct}}},
      {"Brake and tyre wear", {{PM10, 100, 0, pct}, {PM25, 40, 0, pct}, {Cu, 1.2f, 0, pct}, {Zn, 1.5f, 0, pct},
                               {Pb, 0.05f, 0, pct}}},
      {"Electric switchgear", {{SF6, 0.5f, 0.05f, ton}}},
      {"Cooling systems", {{HFC134a, 5, 0.2f, pct}, {PCB, 0.0001f, 0, pct}}},
  };
}

struct FactorDefinition {
  const char* name;
  int32_t substance;
  const char* formula;
  std::vector<EmfacVariable> variables;
};

// Emission factors: a formula over variables (VAR, given per source) and
// constants (CONST).
std::vector<FactorDefinition> FactorDefinitions() {
  auto var = [](const char* name) { return EmfacVariable{name, false}; };
  auto constant = [](const char* name) { return EmfacVariable{name, true}; };
  return {
      {"NOx gas boiler", NOx, "FUEL*EF*(1-RED/100)", {var("FUEL"), constant("EF"), var("RED")}},
      {"SO2 oil sulphur", SO2, "FUEL*DENS*S/100*2", {var("FUEL"), constant("DENS"), var("S")}},
      {"PM10 wood stove", PM10, "WOOD*EF*(1-ECO/100)", {var("WOOD"), constant("EF"), var("ECO")}},
      {"PM2.5 machinery", PM25, "POWER*LOAD*HOURS*EF/1000000",
       {var("POWER"), constant("LOAD"), var("HOURS"), constant("EF")}},
      {"CO petrol car", CO, "VKM*(A+B*V+C*V^2)/1000",
       {var("VKM"), constant("A"), constant("B"), constant("C"), var("V")}},
      {"NMVOC solvent", NMVOC, "SOLVENT*VOC/100*(1-ABATEMENT/100)",
       {var("SOLVENT"), var("VOC"), var("ABATEMENT")}},
      {"NH3 dairy cattle", NH3, "ANIMALS*EF*(1-RED/100)", {var("ANIMALS"), constant("EF"), var("RED")}},
      {"CO2 natural gas", CO2, "FUEL*HU*EF/1000", {var("FUEL"), constant("HU"), constant("EF")}},
      {"Benzene fuel stn", Benzene, "VOLUME*EF*(1-VRU/100)", {var("VOLUME"), constant("EF"), var("VRU")}},
      {"BaP wood stove", BaP, "WOOD*EF", {var("WOOD"), constant("EF")}},
      {"CH4 landfill", CH4, "WASTE*DOC*F*16/12*(1-OX)*(1-RECOVERY/100)",
       {var("WASTE"), constant("DOC"), constant("F"), constant("OX"), var("RECOVERY")}},
      {"N2O fertiliser", N2O, "NFERT*EF*44/28", {var("NFERT"), constant("EF")}},
      {"Pb aviation fuel", Pb, "AVGAS*PB*0.95", {var("AVGAS"), constant("PB")}},
      {"Cd incineration", Cd, "WASTE*EF*(1-EFF/100)", {var("WASTE"), constant("EF"), var("EFF")}},
      {"Hg crematorium", Hg, "CREMATIONS*AMALGAM*(1-FILTER/100)",
       {var("CREMATIONS"), constant("AMALGAM"), var("FILTER")}},
      {"As coal", As, "COAL*EF", {var("COAL"), constant("EF")}},
      {"Cr steel", Cr, "STEEL*EF*(1-EFF/100)", {var("STEEL"), constant("EF"), var("EFF")}},
      {"Cu brake wear", Cu, "VKM*BRAKE*CU_SHARE", {var("VKM"), constant("BRAKE"), constant("CU_SHARE")}},
      {"Ni ship HFO", Ni, "FUEL*NI*(1-SCRUBBER/100)", {var("FUEL"), constant("NI"), var("SCRUBBER")}},
      {"Zn tyre wear", Zn, "VKM*TYRE*ZN_SHARE", {var("VKM"), constant("TYRE"), constant("ZN_SHARE")}},
      {"Dioxin incinerator", Dioxin, "WASTE*EF*1E-9", {var("WASTE"), constant("EF")}},
      {"HCB incineration", HCB, "WASTE*EF", {var("WASTE"), constant("EF")}},
      {"Naphthalene asphalt", Naphthalene, "ASPHALT*EF", {var("ASPHALT"), constant("EF")}},
      {"TSP quarry", TSP, "ROCK*(BLAST+CRUSH+LOAD)*(1-WETTING/100)",
       {var("ROCK"), constant("BLAST"), constant("CRUSH"), constant("LOAD"), var("WETTING")}},
      {"BC ship engine", BC, "KW*HOURS*LF*EF/1000000", {var("KW"), var("HOURS"), constant("LF"), constant("EF")}},
      {"HCHO gas engine", Formaldehyde, "POWER*HOURS*EF/1000", {var("POWER"), var("HOURS"), constant("EF")}},
      {"SF6 switchgear", SF6, "0.35", {}},
      {"NOx road traffic", NOx, "(PC*EF_PC+LDV*EF_LDV+HDV*EF_HDV+BUS*EF_BUS)*LEN/1000",
       {var("PC"), constant("EF_PC"), var("LDV"), constant("EF_LDV"), var("HDV"), constant("EF_HDV"), var("BUS"),
        constant("EF_BUS"), var("LEN")}},
      {"PM10 road dust", PM10, "ADT*LEN*365*EF*(1-STUDDED/100)/1000000",
       {var("ADT"), var("LEN"), constant("EF"), var("STUDDED")}},
  };
}

class VectorSource : public RecordSource {
 public:
  explicit VectorSource(const std::vector<std::string>& records) : records_(records) {}
  bool Next(std::string_view* record) override {
    if (next_ >= records_.size()) return false;
    *record = records_[next_++];
    return true;
  }

 private:
  const std::vector<std::string>& records_;
  size_t next_ = 0;
};

void Put(Store& store, int64_t edbId, const char* kind, int64_t list, const std::vector<std::string>& records) {
  if (records.empty()) return;
  VectorSource source(records);
  store.PutRecords(edbId, kind, list, source);
}

// Stores the demonstration records of a reference kind exactly as a save of
// them by the library would.
void PutReference(Store& store, int64_t edbId, const char* kind, int64_t list) {
  ReferenceKind reference;
  std::vector<ReferenceRecord> records;
  std::string reason;
  if (!ReferenceKindOf(kind, &reference) ||
      !ReadReferenceRecords(reference, DemoSaveLines(kind, static_cast<int>(list)), &records, &reason)) {
    throw std::logic_error(std::string("demonstration ") + kind + " records refused: " + reason);
  }
  if (records.empty()) return;
  ReferenceRecordSource source(records);
  store.PutRecords(edbId, kind, list, source);
}

template <typename Entry>
std::string Separated(const std::vector<Entry>& entries) {
  std::string text;
  for (const Entry& e : entries) text += RecordText(e) + "\n";
  return text;
}

}  // namespace

std::vector<SubstanceEntry> DemoSubstances() { return Numbered(kSubstanceNames); }

std::vector<SubstanceEntry> DemoSearchkeys(int list) {
  switch (list) {
    case 1:
      return Numbered(kSectors);
    case 2:
      return Numbered(kDistricts);
    case 3:
      return Numbered(kFuels);
    case 4: {
      // Emission heights in classes of 10 m.
      std::vector<SubstanceEntry> entries;
      for (uint16_t i = 1; i <= 25; ++i) {
        entries.push_back(SubstanceEntry{i, std::to_string(10 * (i - 1)) + "-" + std::to_string(10 * i) + " m"});
      }
      return entries;
    }
    case 5:
      return Numbered(kDataSources);
    default:
      return {};
  }
}

std::vector<SubgrpEntry> DemoSubstanceGroups() {
  std::vector<SubgrpEntry> entries;
  uint32_t index = 1;
  for (GroupDefinition& group : GroupDefinitions()) {
    entries.push_back(SubgrpEntry{group.name, index++, std::move(group.slots)});
  }
  // The workbook shows one column block per substance, in the order in which
  // substances first appear, and reads each group back in block order.  Each
  // group lists its substances in that order, so that a round trip through
  // the workbook keeps the records as they are.
  std::map<int16_t, size_t> block;
  for (const SubgrpEntry& entry : entries) {
    for (const GroupSlot& slot : entry.slots) block.emplace(slot.substance, block.size());
  }
  for (SubgrpEntry& entry : entries) {
    std::stable_sort(entry.slots.begin(), entry.slots.end(), [&block](const GroupSlot& a, const GroupSlot& b) {
      return block[a.substance] < block[b.substance];
    });
  }
  return entries;
}

std::vector<EmfacEntry> DemoEmissionFactors() {
  std::vector<EmfacEntry> entries;
  uint32_t index = 1;
  for (FactorDefinition& factor : FactorDefinitions()) {
    entries.push_back(EmfacEntry{factor.name, index++, factor.substance, factor.formula, std::move(factor.variables)});
  }
  return entries;
}

std::string DemoSaveLines(std::string_view kind, int list) {
  std::string text;
  if (kind == kSubKind) {
    for (const SubstanceEntry& e : list == 0 ? DemoSubstances() : DemoSearchkeys(list)) text += RecordText(e);
  } else if (kind == "timevarp" || kind == "timevarr") {
    text = Separated(DemoTimevars(kind == "timevarr"));
  } else if (kind == "subgrp") {
    text = Separated(DemoSubstanceGroups());
  } else if (kind == "emfac") {
    for (const EmfacEntry& e : DemoEmissionFactors()) text += RecordText(e, TextForm::kWriter) + "\n";
  }
  return text;
}

void SeedEdbRecords(Store& store, int64_t edbId, DemoContent content) {
  for (int list = 0; list <= 5; ++list) PutReference(store, edbId, "sub", list);
  if (content == DemoContent::kReference) {
    PutReference(store, edbId, "timevarp", 0);
    PutReference(store, edbId, "timevarr", 0);
    PutReference(store, edbId, "subgrp", 0);
    PutReference(store, edbId, "emfac", 0);
  }
  // Traffic data only in the full demonstration EDB.
  bool noTraffic = content != DemoContent::kReference;
  Put(store, edbId, "veh", 0, DemoVehicles(noTraffic));
  Put(store, edbId, "svehsb", 0, DemoRoadVehicleDefinition(noTraffic));
  Put(store, edbId, "sveh", 0, DemoRoadVehicles(noTraffic));
  Put(store, edbId, "roadtype", 0, DemoRoadtypes(noTraffic));
  Put(store, edbId, "company", 0, DemoCompanies(noTraffic));
  Put(store, edbId, "facility", 0, DemoFacilities(noTraffic));
  Put(store, edbId, "source", 0, DemoSources(noTraffic));
  Put(store, edbId, "road", 0, DemoRoads(noTraffic));
}

}  // namespace edb
