// A road as the library's writer prints it and the server stores it, for the
// tests that need any well-formed record to save and read back.
#pragma once

#include <string>

namespace test_support {

// The road's lines, each followed by "\n", without the empty line that
// separates records; alob is its ALOB label line and attribute lines.
inline std::string RoadText(const std::string& name, const std::string& alob = "ALOB 0\n") {
  return "NAME \"" + name +
         "\"\nINFO \"\"\nINFO2 \"\"\nVEHICLES 100\nVEHICLEMACRO \"\"\nCORRFACTOR 1\nNOLANES 2\nSPEED 3\nROADTYPE 1\n"
         "EMIFAC \nHEAVYSPEED 0\nCONGSPEED1 0\nCONGSPEED2 0\nCONGSPEED3 0\nHEAVYCONGSPEED1 0\nHEAVYCONGSPEED2 0\n"
         "HEAVYCONGSPEED3 0\nPERCHEAVY 5\nSEARCHKEY1 0\nSEARCHKEY2 0\nSEARCHKEY3 0\nSEARCHKEY4 0\nSEARCHKEY5 0\n"
         "GEOCODE \nWIDTH 0\nDISTHOUSES 0\nSLOPE 0\nELEVATION 0\nHEIGHT 0 0 0 0 0 0 0 0 0 0 0 0\n"
         "BARRIERHEIGHT 0 0\nBARRIERANGLE 0 0\nBARRIERDISTANCE 0 0\n" +
         alob + "X0 1 Y0 2\nX1 3 Y1 4\n";
}

}  // namespace test_support
