// The vehicle, road-vehicle and roadtype sheets: verifiers and the Save readers' refusals.
// (The definition's lines and the emission lines read for a Save: tests/e2e RoundTrip.)
#include <string>

#include "catalogue/record_list.h"
#include "catalogue/road_vehicle_def.h"
#include "workbook/road_vehicle_def_sheet.h"
#include "workbook/road_vehicle_sheet.h"
#include "workbook/roadtype_sheet.h"
#include "workbook/sheet_fixture.h"
#include "workbook/vehicle_sheet.h"

namespace {

class TrafficSheetTest : public SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    substances.Add(L"NOx", 1);
    substances.Add(L"PM10", 3);
    for (int s = 1; s <= 11; ++s) speeds.Add((L"s" + std::to_wstring(s)).c_str(), s);
    vehicles.Add(L"Car", 1);
    roadVehicles.Add(L"PC", 1);
    ASSERT_TRUE(definition.Create(1));
    definition.SetName(0, L"Fuel");
    definition.List(0)->Add(L"Petrol", 0);
    definition.List(0)->Add(L"Diesel", 1);
  }

  // A well-formed vehicle at rows row .. row + 10 with NOx in column E.
  void PutVehicle(RW row, const std::wstring& name) {
    Put(L"Vehicle", row, 0, {name, L"1", L"7.1"});
    for (int s = 0; s < 11; ++s) Put(L"Vehicle", row + s, 3, {L"s" + std::to_wstring(s + 1), L"0.5"});
  }
  // A roadtype vehicle at rows row .. row + 3.
  void PutRoadtypeVehicle(RW row, const std::wstring& name, const std::wstring& vehicle) {
    Put(L"Roadtype", row, 0, {name, name.empty() ? L"" : L"4", vehicle, L"s2", L"s5"});
    for (COL c = 5; c < 29; ++c) Put(L"Roadtype", row, c, {L"100"});
    for (COL c = 29; c < 41; ++c) Put(L"Roadtype", row, c, {L"100"});
    for (COL c = 41; c < 51; ++c) Put(L"Roadtype", row, c, {L"1"});
    for (RW d = 1; d <= 3; ++d) {
      for (COL c = 5; c < 29; ++c) Put(L"Roadtype", row + d, c, {L"90:1"});
    }
  }
  // A road vehicle's name row (D = 1: emission line in columns K..P).
  void PutRoadVehicle(RW row, std::initializer_list<std::wstring> cells) { Put(L"Road Vehicle", row, 0, cells); }

  CRecordList substances, speeds, vehicles, roadVehicles;
  CRoadVehicleDef definition;
};

TEST_F(TrafficSheetTest, VehicleVerifierFindings) {
  Put(L"Vehicle", 0, 4, {L"NOx", L"CO"});
  PutVehicle(1, L"Car with a much too long name");
  Put(L"Vehicle", 1, 1, {L"0"});
  Put(L"Vehicle", 2, 2, {L"heavy"});
  Put(L"Vehicle", 5, 3, {L"s99"});
  Sheet(L"Vehicle")->Set(6, 4, sheethost::Cell());  // NOx missing at speed 6
  Put(L"Vehicle", 7, 4, {L"abc"});
  Put(L"Vehicle", 8, 4, {L"2e9"});
  PutVehicle(12, L"Bus");
  for (RW r = 12; r < 23; ++r) Sheet(L"Vehicle")->Set(r, 4, sheethost::Cell());
  CExcelVerifyVehicle verifier;
  ASSERT_EQ(verifier.Init(substances, speeds, errors, warnings), 1) << Error();
  EXPECT_EQ(verifier.VerifyRec(), 1) << Error();
  EXPECT_EQ(Lines(errors), (Lines_{
                               L"Vehicle [F1]: Unknown substance: CO",
                               L"Vehicle [A2]: To long string for Name. Max is 19",
                               L"Vehicle [B2]: Invalid index",
                               L"Vehicle [C3]: Is heavy cell not a number",
                               L"Vehicle [D6]: Unknown speed: s99",
                               L"Vehicle [E7]: Inconsistent emission factors. Differs from first row of record.",
                               L"Vehicle [E8]: Emission factor cell not a number",
                               L"Vehicle [E9]: Emission factor cell value out of range [0,1e+09]",
                           }));
  EXPECT_EQ(Lines(warnings), (Lines_{L"Vehicle [13]: No emission factors defined"}));
}

TEST_F(TrafficSheetTest, RoadVehicleVerifierFindings) {
  Put(L"Road Vehicle", 0, 11, {L"Fuel"});
  PutRoadVehicle(1, {L"PC with a long name, 21", L"9.7", L"", L"2", L"1", L"1000000", L"4", L"-1", L"Ghost", L"", L"XX", L"Kerosene",
                     L"1", L"1", L"1", L"2e9"});
  Put(L"Road Vehicle", 2, 10, {L"NOx", L"Petrol", L"1", L"1", L"x", L"1"});
  PutRoadVehicle(3, {L"Bus", L"", L"", L"0", L"0", L"1", L"0", L"1", L"", L"an info of 20 chars.", L"NOx",
                     L"Diesel", L"1", L"1", L"1", L"1"});
  CExcelVerifyRoadVehicle verifier;
  ASSERT_EQ(verifier.Init(substances, definition, roadVehicles, 1, errors, warnings), 1) << Error();
  EXPECT_EQ(verifier.VerifyRec(), 1) << Error();
  EXPECT_EQ(verifier.VerifyRec(), 0) << Error();
  EXPECT_EQ(Lines(errors), (Lines_{
                               L"Road Vehicle [A2]: To long string for Name. Max is 19",
                               L"Road Vehicle [B2]: Invalid index",
                               L"Road Vehicle [D2]: Is heavy cell value out of range [0,1]",
                               L"Road Vehicle [F2]: Weight cell value out of range [0,999999]",
                               L"Road Vehicle [G2]: Emission model cell value out of range [0,3]",
                               L"Road Vehicle [H2]: Flow equi cell value out of range [0,1e+09]",
                               L"Road Vehicle [I2]: Unknown road vehicle: Ghost",
                               L"Road Vehicle [K2]: Unknown substance: XX",
                               L"Road Vehicle [L2]: Unknown text for variable: Kerosene",
                               L"Road Vehicle [P2]: Stop and go cell value out of range [0,1e+09]",
                               L"Road Vehicle [O3]: Congested cell not a number",
                               L"Road Vehicle [B4]: Missing index",
                               L"Road Vehicle [J4]: To long string for Info. Max is 19",
                           }));
}

// An emission line in the first row has no vehicle: the readers stop at its
// empty name, and nothing of the sheet would be saved.
TEST_F(TrafficSheetTest, AnEmissionLineWithoutAVehicleIsReported) {
  Put(L"Road Vehicle", 1, 10, {L"NOx", L"Petrol", L"1", L"1", L"1", L"1"});
  PutRoadVehicle(2, {L"PC", L"1", L"", L"0", L"1", L"1500", L"1", L"1"});
  CExcelVerifyRoadVehicle verifier;
  ASSERT_EQ(verifier.Init(substances, definition, roadVehicles, 1, errors, warnings), 1) << Error();
  EXPECT_EQ(verifier.VerifyRec(), 0) << Error();
  EXPECT_EQ(Lines(errors), (Lines_{L"Road Vehicle [A2]: row 2 and below would not be saved: cell A2 is empty"}));
  CExcelReadRoadVehicle reader;
  ASSERT_EQ(reader.Init(substances, 1, roadVehicles), 1) << Error();
  RoadVehicleRec record;
  CodeString code;
  EXPECT_EQ(reader.Read(&record, &code), -1);
  EXPECT_EQ(Error(), "row 2 and below would not be saved: cell A2 is empty (sheet Road Vehicle, cell A2, row 2).");
}

TEST_F(TrafficSheetTest, HeadingAndDefinitionFindings) {
  // A 252nd substance column, and a two-word class text an emission line cannot carry.
  for (COL c = 4; c < 4 + 252; ++c) Put(L"Vehicle", 0, c, {L"NOx"});
  CExcelVerifyVehicle vehicles;
  ASSERT_EQ(vehicles.Init(substances, speeds, errors, warnings), 1) << Error();
  Put(L"Road Vehicle Def.", 3, 0, {L"Euro class", L"Euro4", L"Euro 5"});
  CExcelVerifyRoadVehicleDef def;
  ASSERT_EQ(def.Init(1, errors, warnings), 1) << Error();
  EXPECT_EQ(Lines(errors), (Lines_{L"Vehicle [IV1]: Too many substances. Maximum is 251.",
                                   L"Road Vehicle Def. [C4]: Class text cell holds a blank, which a one-word field "
                                   L"cannot carry"}));
}

TEST_F(TrafficSheetTest, RoadtypeVerifierFindings) {
  PutRoadtypeVehicle(1, L"", L"Truck");
  Put(L"Roadtype", 1, 3, {L"s0"});
  Put(L"Roadtype", 1, 5, {L"9000", L"12000", L"12000:1", L"50:7"});
  Put(L"Roadtype", 1, 29, {L"10000"});
  Put(L"Roadtype", 1, 41, {L"-1"});
  Put(L"Roadtype", 3, 5, {L"12000"});  // Saturday
  for (RW v = 0; v < 11; ++v) PutRoadtypeVehicle(5 + 4 * v, v == 0 ? L"Ring" : L"", L"Car");
  CExcelVerifyRoadtype verifier;
  ASSERT_EQ(verifier.Init(vehicles, speeds, errors, warnings), 1) << Error();
  EXPECT_EQ(verifier.VerifyRec(), 1) << Error();
  EXPECT_EQ(verifier.VerifyRec(), 0) << Error();  // the eleventh vehicle ends the sheet
  EXPECT_EQ(Lines(errors), (Lines_{
                               L"Roadtype [A2]: Missing roadtype name",
                               L"Roadtype [B2]: Missing index",
                               L"Roadtype [C2]: Unknown vehicle",
                               L"Roadtype [D2]: Unknown min speed",
                               L"Roadtype [G2]: Typeday (Mon-Thu) cell value out of range [0,9999] 12000",
                               L"Roadtype [I2]: Typeday (Mon-Thu) cell value out of range [0,3] 7",
                               L"Roadtype [AD2]: Month cell value out of range [0,9999]",
                               L"Roadtype [AP2]: Scenario cell value out of range [0,9999]",
                               L"Roadtype [F4]: Typeday (Sat) cell value out of range [0,9999] 12000",
                               L"Roadtype [B46]: Too many vehicles. Only 10 per roadtype allowed.",
                           }));
}

TEST_F(TrafficSheetTest, SaveReadersRefuseWhatRecordsCannotCarry) {
  // Road vehicles: a flag of 2, then an emission line with an empty factor.
  PutRoadVehicle(1, {L"PC", L"1", L"", L"2", L"1", L"1500", L"1", L"1", L"", L"", L"NOx", L"Petrol", L"1", L"1", L"1", L"1"});
  CExcelReadRoadVehicle reader;
  ASSERT_EQ(reader.Init(substances, 1, roadVehicles), 1) << Error();
  RoadVehicleRec record;
  CodeString code;
  EXPECT_EQ(reader.Read(&record, &code), -1);
  EXPECT_EQ(Error(), "Only 0 or 1 are valid values: PC (sheet Road Vehicle, cell D2, row 2).");
  Put(L"Road Vehicle", 1, 3, {L"1"});
  Sheet(L"Road Vehicle")->Set(1, 14, sheethost::Cell());
  CExcelReadRoadVehicle again;
  ASSERT_EQ(again.Init(substances, 1, roadVehicles), 1) << Error();
  ASSERT_EQ(again.Read(&record, &code), 1) << Error();
  std::wstring line;
  EXPECT_EQ(again.ReadEmFac(&line), -1);
  EXPECT_EQ(Error(), "Missing or malformed value in an emission line of road vehicle: PC (sheet Road Vehicle, cell O2, "
                     "row 2).");

  // Roadtypes: an eleventh vehicle.
  for (RW v = 0; v < 11; ++v) PutRoadtypeVehicle(1 + 4 * v, v == 0 ? L"Ring" : L"", L"Car");
  CExcelReadRoadtype roadtypes;
  ASSERT_EQ(roadtypes.Init(vehicles, speeds), 1) << Error();
  std::unique_ptr<RoadtypeRec> roadtype(new RoadtypeRec());
  EXPECT_EQ(roadtypes.Read(roadtype.get()), -1);
  EXPECT_EQ(Error(), "To many vehicles specified (sheet Roadtype, cell C42, row 42).");

  // Vehicles: a factor that is no number.
  Put(L"Vehicle", 0, 4, {L"NOx"});
  PutVehicle(1, L"Car");
  Put(L"Vehicle", 4, 4, {L"0,5"});
  CExcelReadVehicle vehicleReader;
  ASSERT_EQ(vehicleReader.Init(substances, speeds), 1) << Error();
  std::unique_ptr<VehicleRec> vehicle(new VehicleRec());
  EXPECT_EQ(vehicleReader.Read(vehicle.get(), &code), -1);
  EXPECT_EQ(Error(), "Emission factor cell not a number: 0,5 (sheet Vehicle, cell E5, row 5).");
}

}  // namespace
