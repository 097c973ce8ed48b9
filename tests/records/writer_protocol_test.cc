// The writer protocol: operations that send nothing, finishing and checking a save.
#include <string>

#include "record_fixture.h"
#include "records/emfac.h"
#include "records/subgrp.h"
#include "records/substance.h"
#include "records/timevar.h"

namespace records_test {
namespace {

class WriterProtocolTest : public RecordTest {};

// (Each start operation's flag lines: the facility and road saves with
// RecordStartFlag1 here, tests/host TransferExportsTest.SaveStartModesWriteTheFlagLines.)
TEST_F(WriterProtocolTest, OperationsThatSendNothing) {
  // Reference kinds ignore start flag 1 and unknown codes.
  EmfacRec record{};
  EXPECT_EQ(IOREmfacPutRec(RecordStartFlag1, &record), 1);
  EXPECT_EQ(IORSubgrpPutRec(9, nullptr), 1);
  EXPECT_EQ(IORTimevarPutRec(0, -1, nullptr), 1);
  EXPECT_EQ(IOREmfacPutRec(RecordAbort, nullptr), 1);
  // (Substance list 0, never written: tests/host TransferExportsTest.SearchkeySaveTheServerDoesNotConfirmFails.)
  EXPECT_EQ(Requests(), 1u) << "nothing beyond the login was sent";
}

TEST_F(WriterProtocolTest, FinishRequiresEveryReplyLineToBeginWithOk) {
  SubgrpRec record{};
  wcscpy(record.name, L"G");
  record.index = 3;
  auto group = [&](int32_t op) { return IORSubgrpPutRec(op, &record); };
  EXPECT_EQ(Posted(group, RecordStartFlag0, "Ok. 1 saved\nOk. done\n"),
            SaveHeader("subgrp", -1, "0", "1") + "NAME \"G\"\nINDEX 3\nSUBSTANCES\n\nEOF\n");
  EXPECT_EQ(Query(1), "/cgi-bin/ikalvoro/do.cgi?AUTH&iedbvksave2.cgi&x");

  Reply("");
  ASSERT_EQ(IORSubgrpPutRec(RecordStart, &record), 1);
  EXPECT_EQ(IORSubgrpPutRec(RecordFinish, &record), 1) << "an empty reply accepts the save";

  server_.Stop();
  static TimevarRec timevar;
  ASSERT_EQ(IORTimevarPutRec(1, RecordStart, &timevar), 1);  // the body is only collected here
  ASSERT_EQ(IORTimevarPutRec(1, RecordWrite, &timevar), 1);
  EXPECT_EQ(IORTimevarPutRec(1, RecordFinish, &timevar), -1) << "an unreachable server fails the finish";
  EXPECT_NE(Error(), "");
}

TEST_F(WriterProtocolTest, SubstanceSaveChecksTheFirstReplyLineForOk) {
  SubRec record{};
  record.index = 12;
  wcscpy(record.name, L"NOx as NO2");
  auto substances = [&](int32_t op) { return IORSubPutRec(op, 2, &record); };
  EXPECT_EQ(Posted(substances, RecordStartFlag0, "OK! 1 searchkey\nanything\n"),
            SaveHeader("sub", 2, "0", "1") + "12 \"NOx as NO2\"\nEOF\n");

  Reply("Database locked\n");
  ASSERT_EQ(IORSubPutRec(RecordStart, 5, &record), 1);
  EXPECT_EQ(IORSubPutRec(RecordFinish, 5, &record), -1);
  EXPECT_EQ(Error(), "Database locked");
  EXPECT_EQ(Body(2), SaveHeader("sub", 5, "0", "0") + "EOF\n");

  Reply("");
  ASSERT_EQ(IORSubPutRec(RecordStart, 1, &record), 1);
  EXPECT_EQ(IORSubPutRec(RecordFinish, 1, &record), 0) << "an empty reply finishes with 0";
  EXPECT_EQ(IORSubPutRec(RecordAbort, 1, &record), 1);
}

}  // namespace
}  // namespace records_test
