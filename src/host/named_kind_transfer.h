// The Load and Save sides of the kinds whose rows name substances and whose
// records carry a name and an index into one catalogue list: substance
// groups and emission factors.  A kind describes itself with a traits type:
//
//   Record, Writer, Reader          its record and sheet classes
//   NameSize                        size of the record's name field
//   List()                          its catalogue list
//   Get(first, record)              the record layer's reader
//   Put(operation, record)          the record layer's writer
//   ListLabel                       for the out-of-memory message
//
// The sheet objects are opened with the substance list.
#pragma once

#include <memory>
#include <new>
#include <string>

#include "catalogue/catalogue.h"
#include "host/frame.h"
#include "host/transfer.h"
#include "records/record_io.h"

template <class Kind>
class NamedKindLoad final : public LoadKind {
 public:
  bool OpenWriter() override {
    m_pWriter.reset(new (std::nothrow) typename Kind::Writer());
    if (!m_pWriter) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    if (m_pWriter->Init(SubLists[0]) != 1) {
      m_pWriter.reset();
      return false;
    }
    return true;
  }
  void CloseWriter() override { m_pWriter.reset(); }
  bool HasWriter() const override { return m_pWriter != nullptr; }
  void ClearList() override { Kind::List().Clear(); }
  void SortList() override { Kind::List().Sort(); }
  int32_t ReadRecord(bool first) override { return Kind::Get(first ? 1 : 0, &m_record); }
  bool StoreRecord() override {
    std::wstring name = FieldText(m_record.name, Kind::NameSize);
    if (!Kind::List().Add(name.c_str(), static_cast<int32_t>(m_record.index))) {
      SetErrorText("Could not allocate memory for the %s list.", Kind::ListLabel);
      return false;
    }
    return m_pWriter->Write(m_record) == 1;
  }

 private:
  std::unique_ptr<typename Kind::Writer> m_pWriter;
  typename Kind::Record m_record = {};
};

template <class Kind>
class NamedKindSave final : public SaveKind {
 public:
  bool OpenReader() override {
    m_pReader.reset(new (std::nothrow) typename Kind::Reader());
    if (!m_pReader) {
      SetErrorText("Could not allocate memory for buffer");
      return false;
    }
    return m_pReader->Init(SubLists[0]) == 1;
  }
  void CloseReader() override { m_pReader.reset(); }
  bool HasReader() const override { return m_pReader != nullptr; }
  int32_t StartUpload(int32_t operation) override { return Kind::Put(operation, nullptr); }
  int32_t ReadRow() override { return m_pReader->Read(&m_record); }
  int32_t SendRecord() override { return Kind::Put(RecordWrite, &m_record); }
  int32_t FinishUpload() override { return Kind::Put(RecordFinish, nullptr); }

 private:
  std::unique_ptr<typename Kind::Reader> m_pReader;
  typename Kind::Record m_record = {};
};
