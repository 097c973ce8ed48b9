// Demonstration companies and facilities of the full demonstration EDB:
// industrial companies with two or three facilities each, attribute texts,
// addresses at the length the record holds and Latin-1 letters in names.
// Both kinds are printed as the library's writer prints them and stored
// through the same reading as a save, so that the seed is exactly what a
// Load and Save give back.
#include <stdexcept>
#include <string>
#include <vector>

#include "company_records.h"
#include "seed_records.h"

namespace edb {

namespace {

// Texts are ISO 8859-1: \xe5 a-ring, \xe4 a-umlaut, \xf6 o-umlaut, \xe9 e-acute.
struct CompanyDefinition {
  const char* id;
  const char* name;
  const char* town;
  const char* sector;
};

const CompanyDefinition kCompanies[] = {
    {"556001-0001", "\xc5" "kesson Bruk AB", "Sm\xe5land", "Pulp and paper"},
    {"556001-0002", "G\xf6teborgs Raffinaderi AB", "G\xf6teborg", "Oil refining"},
    {"556001-0003", "V\xe4stra Kraftv\xe4rme AB", "V\xe4ster\xe5s", "District heating"},
    {"556001-0004", "Bj\xf6rkn\xe4s Cement AB", "Sk\xf6vde", "Cement"},
    {"556001-0005", "L\xe5ngsj\xf6 St\xe5lverk AB", "Bor\xe5s", "Steel"},
    {"556001-0006", "Caf\xe9 Rost\xe9ri Nord AB", "Ume\xe5", "Food"},
    {"556001-0007", "Norrlands Tr\xe4 AB", "Lule\xe5", "Sawmill"},
    {"556001-0008", "\xd6resunds Kemi AB", "Malm\xf6", "Chemicals"},
    {"556001-0009", "M\xe4laren Asfalt AB", "Eskilstuna", "Asphalt"},
    {"556001-0010", "Fj\xe4llv\xe4rme Energi AB", "\xd6stersund", "Biomass heating"},
    {"556001-0011", "Sm\xe4ltverket i R\xf6nnsk\xe4r AB", "Skellefte\xe5", "Smelting"},
    {"556001-0012", "Glasbruket Orrefors AB", "Nybro", "Glass"},
    {"556001-0013", "Karlstads Massafabrik AB", "Karlstad", "Pulp"},
    {"556001-0014", "Hamnens Tankterminal AB", "Norrk\xf6ping", "Fuel storage"},
    {"556001-0015", "Gr\xe4nna Bageri AB", "Gr\xe4nna", "Bakery"},
    {"556001-0016", "Kalkbrottet i Sl\xe4ite AB", "Gotland", "Lime"},
    {"556001-0017", "S\xf6" "dra Skogs\xe4" "garna AB", "V\xe4xj\xf6", "Forest products"},
    {"556001-0018", "Tv\xe4tteriet Ren & Fin AB", "J\xf6nk\xf6ping", "Laundry"},
    {"556001-0019", "Fiskr\xf6keriet K\xe5ge AB", "H\xf6n\xf6", "Food"},
    {"556001-0020", "Plastv\xe4rket i Gnosj\xf6 AB", "Gnosj\xf6", "Plastics"},
    {"556001-0021", "Krematoriet Sk\xf6ndal AB", "Stockholm", "Crematorium"},
    {"556001-0022", "\xc9lectrolyse Bohus AB", "Bohus", "Chlor-alkali"},
    {"556001-0023-EXTRA-LONG-ID-31CH", "Oljehamnen V\xe4ster\xe5s AB", "V\xe4ster\xe5s", "Fuel storage"},
};

const char* const kSites[] = {"Main plant", "Boiler house", "Harbour depot"};

// text cut or padded with its own letters to exactly chars characters.
std::string Filled(const std::string& text, size_t chars) {
  std::string out = text;
  while (out.size() < chars) out += " " + text;
  return out.substr(0, chars);
}

std::string Quoted(const char* keyword, const std::string& value) {
  return std::string(keyword) + " \"" + value + "\"\n";
}

// The ALOB of a record: n lines and the separator.
std::string AlobLines(const std::vector<std::string>& lines) {
  std::string text = "ALOB " + std::to_string(lines.size()) + "\n";
  for (const std::string& line : lines) text += line + "\n";
  return text + "\n";
}

std::string CompanyLines() {
  std::string text;
  int k = 0;
  for (const CompanyDefinition& c : kCompanies) {
    ++k;
    std::string street = std::string("Industriv\xe4gen ") + std::to_string(k) + ", " + c.town;
    text += Quoted("ID", c.id);
    text += Quoted("NAME", c.name);
    text += Quoted("INFO", c.sector);
    text += Quoted("INFO2", k % 4 == 0 ? Filled(std::string("Permit ") + c.sector + " " + c.town, 63)
                                       : std::string("Permit M ") + std::to_string(1000 + k));
    text += Quoted("ADDRESS", k % 3 == 0 ? Filled(street, 47) : street);
    text += Quoted("POSTADDRESS", std::string("Box ") + std::to_string(100 + k) + ", " + c.town);
    text += Quoted("INFOSUPPLIER", k % 2 ? "Milj\xf6kontoret" : "L\xe4nsstyrelsen");
    text += Quoted("MISC", k % 5 == 0 ? "" : "Reported yearly");
    if (k % 3 == 1) {
      text += AlobLines({"EMPLOYEES=" + std::to_string(40 + 7 * k), std::string("CONTACT=Ms ") + c.town});
    } else if (k % 3 == 2) {
      text += AlobLines({"ISO14001=yes"});
    } else {
      text += AlobLines({});
    }
  }
  return text;
}

std::string FacilityLines() {
  std::string text;
  int k = 0;
  for (const CompanyDefinition& c : kCompanies) {
    ++k;
    int sites = k % 4 == 0 ? 3 : 2;
    for (int s = 0; s < sites; ++s) {
      uint32_t x = 1270000 + 1371 * static_cast<uint32_t>(k) + 97 * static_cast<uint32_t>(s);
      uint32_t y = 6160000 + 5323 * static_cast<uint32_t>(k) + 113 * static_cast<uint32_t>(s);
      std::string name = std::string(c.name).substr(0, 30) + ", " + kSites[s];
      text += "X " + std::to_string(x) + "\n";
      text += "Y " + std::to_string(y) + "\n";
      text += Quoted("NAME", name.substr(0, 47));
      text += Quoted("COMPANY", c.id);
      text += Quoted("INFO", std::string(c.sector) + " / " + kSites[s]);
      text += Quoted("INFO2", s == 0 ? Filled(std::string("Stack height 45 m, ") + c.town, 63) : "");
      text += Quoted("ADDRESS", Filled(std::string("Fabriksomr\xe5" "det ") + std::to_string(s + 1) + ", " + c.town, 47));
      text += Quoted("POSTADDRESS", c.town);
      text += Quoted("INFOSUPPLIER", "Environmental report");
      text += Quoted("MISC", s == 2 ? "Seasonal" : "");
      if (s == 0) {
        text += AlobLines({"CAPACITY_MW=" + std::to_string(10 + k), "FUEL=" + std::string(k % 2 ? "wood" : "oil"),
                           "STACKS=" + std::to_string(1 + k % 3)});
      } else {
        text += AlobLines({});
      }
    }
  }
  return text;
}

std::vector<std::string> Stored(const char* kind, const std::string& lines) {
  std::vector<ReferenceRecord> records;
  std::string reason;
  if (!ReadCompanyKindRecords(kind, lines, &records, &reason)) {
    throw std::logic_error(std::string("demonstration ") + kind + " records refused: " + reason);
  }
  std::vector<std::string> texts;
  for (ReferenceRecord& r : records) texts.push_back(std::move(r.text));
  return texts;
}

}  // namespace

std::vector<std::string> DemoCompanies(bool noInventory) {
  return noInventory ? std::vector<std::string>() : Stored("company", CompanyLines());
}

std::vector<std::string> DemoFacilities(bool noInventory) {
  return noInventory ? std::vector<std::string>() : Stored("facility", FacilityLines());
}

std::string DemoCompanySaveLines(std::string_view kind) {
  if (kind == "company") return CompanyLines();
  if (kind == "facility") return FacilityLines();
  return std::string();
}

}  // namespace edb
