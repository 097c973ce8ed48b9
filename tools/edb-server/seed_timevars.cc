// The demonstration time variations: 24-hour profiles per day type, monthly
// profiles and scenario factors of typical sources and roads of a Swedish
// city (declared in seed_records.h).
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "seed_records.h"

namespace edb {

namespace {

using Hours = std::array<int, 24>;  // hours 1 to 24, weekday mean about 100
using Months = std::array<int16_t, 12>;
using Scenarios = std::array<float, 10>;

// 24-hour shapes.
const Hours kFlat = {100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100,
                     100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100};
const Hours kOffice = {20, 20, 20, 20, 20, 30, 60, 120, 160, 170, 170, 160,
                       150, 165, 170, 165, 150, 110, 70, 50, 40, 30, 25, 20};
const Hours kTwoShift = {40, 40, 40, 40, 40, 90, 130, 140, 140, 140, 140, 130,
                         130, 140, 140, 140, 140, 140, 140, 130, 130, 120, 60, 40};
const Hours kHomeHeating = {70, 65, 60, 60, 65, 90, 140, 150, 120, 95, 85, 80,
                            80, 80, 85, 95, 120, 145, 150, 140, 120, 100, 85, 75};
const Hours kWoodStove = {40, 30, 20, 15, 15, 20, 40, 60, 50, 40, 35, 35,
                          40, 45, 60, 100, 160, 220, 250, 240, 200, 150, 100, 60};
const Hours kMeals = {10, 5, 5, 5, 5, 10, 30, 60, 70, 80, 120, 220,
                      230, 150, 90, 80, 100, 170, 220, 200, 150, 90, 50, 20};
const Hours kEarlyMorning = {30, 40, 90, 180, 220, 230, 210, 180, 150, 120, 100, 80,
                             70, 60, 50, 50, 50, 50, 40, 40, 30, 30, 30, 30};
const Hours kPort = {50, 45, 45, 45, 50, 80, 130, 150, 150, 145, 140, 135,
                     135, 140, 145, 150, 140, 120, 100, 90, 80, 70, 60, 55};
const Hours kDaylight = {0, 0, 0, 0, 0, 10, 80, 170, 200, 200, 200, 180,
                         160, 200, 200, 200, 180, 100, 20, 0, 0, 0, 0, 0};
const Hours kShopping = {5, 5, 5, 5, 5, 10, 30, 70, 110, 160, 190, 200,
                         200, 190, 180, 180, 190, 190, 150, 90, 40, 20, 10, 5};
const Hours kCommuter = {15, 8, 5, 5, 10, 45, 150, 210, 160, 110, 100, 105,
                         110, 110, 120, 160, 215, 200, 140, 100, 80, 60, 45, 30};
const Hours kMotorway = {25, 18, 14, 14, 22, 60, 140, 180, 150, 120, 115, 115,
                         115, 120, 130, 160, 180, 170, 130, 100, 80, 60, 45, 35};
const Hours kStreet = {20, 12, 8, 7, 10, 30, 90, 150, 140, 120, 125, 135,
                       140, 135, 140, 155, 165, 160, 130, 100, 80, 60, 45, 30};
const Hours kLeisure = {30, 20, 15, 10, 10, 15, 30, 50, 80, 120, 150, 170,
                        175, 170, 165, 160, 150, 140, 120, 100, 80, 60, 45, 35};
const Hours kFreight = {30, 30, 30, 35, 60, 110, 150, 160, 160, 150, 145, 140,
                        140, 140, 135, 130, 110, 90, 70, 55, 45, 40, 35, 30};
const Hours kEvening = {60, 40, 25, 15, 10, 15, 30, 60, 80, 90, 100, 110,
                        110, 110, 115, 130, 150, 170, 190, 200, 180, 150, 110, 80};
const Hours kNightDelivery = {120, 130, 150, 170, 180, 170, 140, 100, 80, 70, 70, 70,
                              70, 70, 70, 70, 70, 70, 80, 90, 100, 100, 110, 115};

// Monthly shapes, January to December.
const Months kYearFlat = {100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100};
const Months kHeatingYear = {175, 165, 140, 100, 60, 35, 25, 30, 55, 100, 140, 170};
const Months kWoodYear = {190, 175, 140, 90, 40, 15, 10, 15, 45, 110, 170, 200};
const Months kTrafficYear = {92, 95, 100, 103, 105, 102, 84, 94, 105, 106, 104, 98};
const Months kSummerYear = {60, 60, 70, 85, 110, 140, 170, 160, 115, 90, 70, 70};
const Months kFarmYear = {40, 40, 80, 160, 190, 130, 80, 90, 130, 120, 60, 40};
const Months kIndustryYear = {102, 102, 102, 102, 100, 95, 70, 95, 104, 106, 106, 96};
const Months kShippingYear = {85, 85, 90, 95, 105, 115, 125, 125, 105, 95, 85, 85};
const Months kSchoolYear = {105, 110, 110, 105, 110, 60, 10, 50, 115, 115, 110, 100};

// Factors for the scenarios of the resource file: base year, low emission
// zone, congestion charge, 30 km/h, electric buses, district heating, shore
// power, winter peak, summer minimum, forecast 2030.
const Scenarios kNoChange = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
const Scenarios kRoadScenarios = {1, 0.88f, 0.85f, 0.95f, 0.97f, 1, 1, 1.1f, 0.9f, 0.82f};
const Scenarios kCentreScenarios = {1, 0.75f, 0.8f, 0.9f, 0.93f, 1, 1, 1.1f, 0.85f, 0.7f};
const Scenarios kBusScenarios = {1, 0.9f, 0.9f, 0.95f, 0.55f, 1, 1, 1.05f, 0.95f, 0.6f};
const Scenarios kHeatingScenarios = {1, 1, 1, 1, 1, 0.75f, 1, 1.4f, 0.45f, 0.85f};
const Scenarios kPortScenarios = {1, 1, 1, 1, 1, 1, 0.6f, 1.05f, 0.95f, 0.9f};
const Scenarios kIndustryScenarios = {1, 1, 1, 1, 1, 1, 1, 1.05f, 0.95f, 0.93f};

// One time variation: the weekday shape, Friday as a share of it, the
// Saturday and Sunday shapes with their shares (percent), and a code
// (1 to 3) that marks the weekend values, 0 for none.
struct Profile {
  const char* name;
  const Hours* weekday;
  int friday;
  const Hours* saturday;
  int saturdayShare;
  const Hours* sunday;
  int sundayShare;
  const Months* months;
  const Scenarios* scenarios;
  int weekendCode;
};

const Profile kSourceProfiles[] = {
    {"Continuous 24h", &kFlat, 100, &kFlat, 100, &kFlat, 100, &kIndustryYear, &kIndustryScenarios, 0},
    {"Industry 2-shift", &kTwoShift, 95, &kFlat, 40, &kFlat, 25, &kIndustryYear, &kIndustryScenarios, 0},
    {"Industry day shift", &kOffice, 90, &kFlat, 15, &kFlat, 10, &kIndustryYear, &kIndustryScenarios, 0},
    {"Office heating", &kOffice, 95, &kFlat, 35, &kFlat, 30, &kHeatingYear, &kHeatingScenarios, 0},
    {"Residential heating", &kHomeHeating, 100, &kHomeHeating, 105, &kHomeHeating, 110, &kHeatingYear,
     &kHeatingScenarios, 0},
    {"Wood stoves", &kWoodStove, 110, &kWoodStove, 140, &kWoodStove, 130, &kWoodYear, &kHeatingScenarios, 0},
    {"District heating", &kHomeHeating, 100, &kHomeHeating, 95, &kHomeHeating, 95, &kHeatingYear,
     &kHeatingScenarios, 0},
    {"Power plant peak", &kCommuter, 100, &kLeisure, 80, &kLeisure, 75, &kHeatingYear, &kHeatingScenarios, 0},
    {"Port operations", &kPort, 100, &kPort, 70, &kPort, 50, &kShippingYear, &kPortScenarios, 0},
    {"Ferry terminal", &kPort, 110, &kPort, 120, &kPort, 115, &kSummerYear, &kPortScenarios, 2},
    {"Cruise ships", &kDaylight, 100, &kDaylight, 110, &kDaylight, 100, &kSummerYear, &kPortScenarios, 0},
    {"Restaurants", &kMeals, 115, &kMeals, 120, &kMeals, 90, &kYearFlat, &kNoChange, 0},
    {"Bakeries", &kEarlyMorning, 105, &kEarlyMorning, 90, &kEarlyMorning, 40, &kYearFlat, &kNoChange, 0},
    {"Petrol stations", &kShopping, 110, &kShopping, 95, &kShopping, 80, &kTrafficYear, &kRoadScenarios, 0},
    {"Construction sites", &kDaylight, 90, &kDaylight, 10, &kFlat, 0, &kSummerYear, &kNoChange, 0},
    {"Agriculture", &kDaylight, 100, &kDaylight, 80, &kDaylight, 40, &kFarmYear, &kNoChange, 0},
    {"Solvent use", &kOffice, 95, &kOffice, 20, &kOffice, 10, &kIndustryYear, &kIndustryScenarios, 0},
    {"Dry cleaners", &kShopping, 100, &kShopping, 60, &kFlat, 0, &kYearFlat, &kNoChange, 0},
    {"Waste incineration", &kFlat, 100, &kFlat, 100, &kFlat, 100, &kYearFlat, &kIndustryScenarios, 0},
    {"Crematorium", &kOffice, 100, &kFlat, 0, &kFlat, 0, &kYearFlat, &kNoChange, 0},
    {"Hospital", &kFlat, 100, &kFlat, 90, &kFlat, 90, &kHeatingYear, &kHeatingScenarios, 0},
    {"Schools", &kOffice, 90, &kFlat, 5, &kFlat, 5, &kSchoolYear, &kHeatingScenarios, 0},
    {"Shopping centre", &kShopping, 115, &kShopping, 125, &kShopping, 70, &kTrafficYear, &kNoChange, 1},
    {"Airport ground ops", &kEarlyMorning, 105, &kEarlyMorning, 85, &kEarlyMorning, 95, &kSummerYear, &kNoChange, 0},
    {"Refinery", &kFlat, 100, &kFlat, 100, &kFlat, 100, &kIndustryYear, &kIndustryScenarios, 0},
    {"Asphalt plant", &kDaylight, 95, &kDaylight, 20, &kFlat, 0, &kSummerYear, &kIndustryScenarios, 0},
    {"Printing works", &kTwoShift, 100, &kTwoShift, 30, &kFlat, 0, &kIndustryYear, &kIndustryScenarios, 0},
    {"Car repair shops", &kOffice, 95, &kOffice, 25, &kFlat, 0, &kYearFlat, &kNoChange, 0},
};

const Profile kRoadProfiles[] = {
    {"Urban street", &kStreet, 105, &kLeisure, 75, &kLeisure, 60, &kTrafficYear, &kRoadScenarios, 0},
    {"Main road", &kCommuter, 105, &kLeisure, 80, &kLeisure, 65, &kTrafficYear, &kRoadScenarios, 0},
    {"Motorway", &kMotorway, 110, &kLeisure, 85, &kLeisure, 80, &kTrafficYear, &kRoadScenarios, 0},
    {"Commuter route", &kCommuter, 95, &kLeisure, 55, &kLeisure, 45, &kTrafficYear, &kRoadScenarios, 0},
    {"Residential street", &kStreet, 100, &kLeisure, 90, &kLeisure, 85, &kTrafficYear, &kCentreScenarios, 0},
    {"City centre", &kStreet, 110, &kShopping, 95, &kLeisure, 60, &kTrafficYear, &kCentreScenarios, 0},
    {"Ring road", &kMotorway, 105, &kLeisure, 80, &kLeisure, 70, &kTrafficYear, &kRoadScenarios, 0},
    {"Bus route", &kCommuter, 100, &kStreet, 70, &kStreet, 55, &kSchoolYear, &kBusScenarios, 0},
    {"Heavy goods route", &kFreight, 95, &kFreight, 35, &kFreight, 20, &kIndustryYear, &kRoadScenarios, 0},
    {"Harbour access", &kPort, 100, &kPort, 60, &kPort, 45, &kShippingYear, &kPortScenarios, 0},
    {"Airport access", &kEarlyMorning, 110, &kEarlyMorning, 90, &kEarlyMorning, 100, &kSummerYear,
     &kRoadScenarios, 0},
    {"Shopping street", &kShopping, 115, &kShopping, 130, &kShopping, 75, &kTrafficYear, &kCentreScenarios, 1},
    {"Rural road", &kCommuter, 105, &kLeisure, 90, &kLeisure, 85, &kSummerYear, &kRoadScenarios, 0},
    {"Coastal road summer", &kLeisure, 120, &kLeisure, 160, &kLeisure, 150, &kSummerYear, &kRoadScenarios, 2},
    {"Industrial area", &kFreight, 95, &kFreight, 25, &kFreight, 15, &kIndustryYear, &kRoadScenarios, 0},
    {"School street", &kCommuter, 95, &kLeisure, 40, &kLeisure, 35, &kSchoolYear, &kCentreScenarios, 0},
    {"Bridge crossing", &kCommuter, 105, &kLeisure, 85, &kLeisure, 70, &kTrafficYear, &kRoadScenarios, 0},
    {"Tunnel", &kMotorway, 105, &kLeisure, 80, &kLeisure, 70, &kTrafficYear, &kRoadScenarios, 0},
    {"Leisure weekend", &kLeisure, 110, &kLeisure, 150, &kLeisure, 140, &kSummerYear, &kRoadScenarios, 3},
    {"Ferry access", &kPort, 120, &kPort, 130, &kPort, 125, &kSummerYear, &kPortScenarios, 2},
    {"Park and ride", &kCommuter, 90, &kShopping, 40, &kShopping, 30, &kSchoolYear, &kBusScenarios, 0},
    {"Logistics hub", &kNightDelivery, 100, &kNightDelivery, 60, &kNightDelivery, 40, &kIndustryYear,
     &kRoadScenarios, 0},
    {"Stadium access", &kEvening, 110, &kLeisure, 160, &kLeisure, 140, &kTrafficYear, &kRoadScenarios, 3},
    {"Hospital access", &kStreet, 100, &kStreet, 85, &kStreet, 80, &kYearFlat, &kRoadScenarios, 0},
    {"Night distribution", &kNightDelivery, 100, &kNightDelivery, 70, &kNightDelivery, 30, &kTrafficYear,
     &kCentreScenarios, 0},
    {"Taxi rank", &kEvening, 120, &kEvening, 150, &kEvening, 110, &kYearFlat, &kCentreScenarios, 0},
    {"University campus", &kOffice, 90, &kLeisure, 30, &kLeisure, 25, &kSchoolYear, &kBusScenarios, 0},
};

std::string HourValue(int shape, int share, int code) {
  std::string text = std::to_string(static_cast<int>(std::lround(shape * share / 100.0)));
  if (code > 0) text += ":" + std::to_string(code);
  return text;
}

TimevarEntry MakeTimevar(const Profile& profile, uint16_t index) {
  TimevarEntry entry;
  entry.name = profile.name;
  entry.index = index;
  for (int h = 0; h < 24; ++h) {
    entry.typeday[h][0] = HourValue((*profile.weekday)[h], 100, 0);
    entry.typeday[h][1] = HourValue((*profile.weekday)[h], profile.friday, 0);
    entry.typeday[h][2] = HourValue((*profile.saturday)[h], profile.saturdayShare, profile.weekendCode);
    entry.typeday[h][3] = HourValue((*profile.sunday)[h], profile.sundayShare, profile.weekendCode);
  }
  entry.month = *profile.months;
  entry.scenario = *profile.scenarios;
  return entry;
}

}  // namespace

std::vector<TimevarEntry> DemoTimevars(bool roads) {
  std::vector<TimevarEntry> entries;
  uint16_t index = 1;
  if (roads) {
    for (const Profile& p : kRoadProfiles) entries.push_back(MakeTimevar(p, index++));
  } else {
    for (const Profile& p : kSourceProfiles) entries.push_back(MakeTimevar(p, index++));
  }
  return entries;
}

}  // namespace edb
