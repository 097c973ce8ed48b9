Attribute VB_Name = "Vorkab"
' Vorkab: the declarations through which a workbook's macros call
' VORKABCOM.dll, and a few helpers for its text buffers.
'
' For 32-bit Excel 2010 or later (VBA7).  Put VORKABCOM.dll beside the
' workbook or on the PATH; Excel finds it by the name in the Lib clauses.
'
' How the arguments go over:
'   wide text (wchar_t*)     ByVal ... As LongPtr; pass StrPtr(s).  For a
'                            buffer the DLL fills, pass StrPtr of a String
'                            made with VKBuffer(n) and read it back with
'                            VKText(s).
'   32-bit integer           ByVal ... As Long
'   32-bit integer output    ByRef ... As Long; pass a Long variable
'   8-bit text buffer        ByVal ... As String (VKError only); VBA hands
'                            the DLL an 8-bit copy and copies it back
'   results                  Long: 1 done (or call again during a transfer),
'                            0 finished or nothing found, -1 failure: the
'                            reason comes from VKLastError().
'
' Sizes of the buffers, in characters: list names 20 (companies and
' facilities 48; substances, searchkeys and road-vehicle classes 256);
' database, EDB user and EDB names 1024; transfer counts 12; VKAbout's text
' 300 and its server 256; an issue's sheet 32.
Option Explicit

' ---- frame and login
Public Declare PtrSafe Function VKInit Lib "VORKABCOM.dll" (ByVal user As LongPtr, _
    ByVal password As LongPtr, ByVal unused3 As LongPtr, ByVal server As LongPtr, _
    ByVal unused5 As LongPtr, ByVal unused6 As LongPtr, ByVal unused7 As Long) As Long
Public Declare PtrSafe Function VKFree Lib "VORKABCOM.dll" () As Long
Public Declare PtrSafe Function VKError Lib "VORKABCOM.dll" (ByVal buffer As String, _
    ByVal size As Long) As Long
Public Declare PtrSafe Function VKAbout Lib "VORKABCOM.dll" (ByVal text As LongPtr, _
    ByRef flag As Long, ByVal server As LongPtr) As Long
Public Declare PtrSafe Sub VKTest Lib "VORKABCOM.dll" ()

' ---- error and warning lists
Public Declare PtrSafe Function VKListError Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal buffer As LongPtr, ByVal size As Long) As Long
Public Declare PtrSafe Function VKListWarning Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal buffer As LongPtr, ByVal size As Long) As Long
Public Declare PtrSafe Function VKGetErrorInfo Lib "VORKABCOM.dll" (ByVal index As Long, _
    ByRef row As Long, ByRef column As Long, ByVal sheet As LongPtr) As Long
Public Declare PtrSafe Function VKGetWarningInfo Lib "VORKABCOM.dll" (ByVal index As Long, _
    ByRef row As Long, ByRef column As Long, ByVal sheet As LongPtr) As Long

' ---- database, EDB user and EDB selection
Public Declare PtrSafe Function VKDatabasesLoad Lib "VORKABCOM.dll" () As Long
Public Declare PtrSafe Function VKDatabasesList Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal buffer As LongPtr) As Long
Public Declare PtrSafe Sub VKDatabaseSet Lib "VORKABCOM.dll" (ByVal value As LongPtr)
Public Declare PtrSafe Sub VKDatabaseGet Lib "VORKABCOM.dll" (ByVal buffer As LongPtr)
Public Declare PtrSafe Function VKEdbUsersLoad Lib "VORKABCOM.dll" () As Long
Public Declare PtrSafe Function VKEdbUsersList Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal buffer As LongPtr) As Long
Public Declare PtrSafe Sub VKEdbUserSet Lib "VORKABCOM.dll" (ByVal value As LongPtr)
Public Declare PtrSafe Sub VKEdbUserGet Lib "VORKABCOM.dll" (ByVal buffer As LongPtr)
Public Declare PtrSafe Function VKEdbNamesLoad Lib "VORKABCOM.dll" () As Long
Public Declare PtrSafe Function VKEdbNamesList Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal buffer As LongPtr) As Long
Public Declare PtrSafe Sub VKEdbNameSet Lib "VORKABCOM.dll" (ByVal value As LongPtr)
Public Declare PtrSafe Sub VKEdbNameGet Lib "VORKABCOM.dll" (ByVal buffer As LongPtr)
Public Declare PtrSafe Function VKEdbCreate Lib "VORKABCOM.dll" (ByVal value As LongPtr) As Long

' ---- incremental transfers: mode 1 starts, 0 continues, any other value
' aborts (Saves: add 2 or 4 to the start mode for the transfer flags); call
' again while the result is 1.  count receives the running count.
Public Declare PtrSafe Function VKSubLoad Lib "VORKABCOM.dll" (ByVal mode As Long, _
    ByVal list As Long, ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKSubSave Lib "VORKABCOM.dll" (ByVal mode As Long, _
    ByVal list As Long, ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKTimevarsLoad Lib "VORKABCOM.dll" (ByVal kind As Long, _
    ByVal mode As Long, ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKTimevarsSave Lib "VORKABCOM.dll" (ByVal kind As Long, _
    ByVal mode As Long, ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKEmfacsLoad Lib "VORKABCOM.dll" (ByVal mode As Long, _
    ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKEmfacsSave Lib "VORKABCOM.dll" (ByVal mode As Long, _
    ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKSubgrpsLoad Lib "VORKABCOM.dll" (ByVal mode As Long, _
    ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKSubgrpsSave Lib "VORKABCOM.dll" (ByVal mode As Long, _
    ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKVehiclesLoad Lib "VORKABCOM.dll" (ByVal mode As Long, _
    ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKVehiclesSave Lib "VORKABCOM.dll" (ByVal mode As Long, _
    ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKRoadtypesLoad Lib "VORKABCOM.dll" (ByVal mode As Long, _
    ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKRoadtypesSave Lib "VORKABCOM.dll" (ByVal mode As Long, _
    ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKCompaniesLoad Lib "VORKABCOM.dll" (ByVal mode As Long, _
    ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKCompaniesSave Lib "VORKABCOM.dll" (ByVal mode As Long, _
    ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKFacilitiesLoad Lib "VORKABCOM.dll" (ByVal mode As Long, _
    ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKFacilitiesSave Lib "VORKABCOM.dll" (ByVal mode As Long, _
    ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKSourcesLoad Lib "VORKABCOM.dll" (ByVal mode As Long, _
    ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKSourcesSave Lib "VORKABCOM.dll" (ByVal mode As Long, _
    ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKRoadVehiclesLoad Lib "VORKABCOM.dll" (ByVal mode As Long, _
    ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKRoadVehiclesSave Lib "VORKABCOM.dll" (ByVal mode As Long, _
    ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKRoadsLoad Lib "VORKABCOM.dll" (ByVal sheet As LongPtr, _
    ByVal mode As Long, ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKRoadsSave Lib "VORKABCOM.dll" (ByVal sheet As LongPtr, _
    ByVal mode As Long, ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKGridLoad Lib "VORKABCOM.dll" (ByVal mode As Long, _
    ByVal sheet As LongPtr, ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKGridSave Lib "VORKABCOM.dll" (ByVal mode As Long, _
    ByVal sheet As LongPtr, ByVal count As LongPtr) As Long

' ---- road-vehicle classification
Public Declare PtrSafe Function VKRoadVehiclesDefLoad Lib "VORKABCOM.dll" (ByVal flags As Long, _
    ByVal count As LongPtr) As Long
Public Declare PtrSafe Function VKRoadVehiclesDefDim Lib "VORKABCOM.dll" (ByVal buffer As LongPtr) As Long
Public Declare PtrSafe Function VKRoadVehiclesDefDimText Lib "VORKABCOM.dll" (ByVal dimension As Long, _
    ByVal buffer As LongPtr) As Long
Public Declare PtrSafe Function VKRoadVehiclesDefList Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal dimension As Long, ByVal buffer As LongPtr) As Long

' ---- catalogue lists: first <> 0 restarts; 1 and the next name, 0 at the end
Public Declare PtrSafe Function VKSubList Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal list As Long, ByVal buffer As LongPtr) As Long
Public Declare PtrSafe Function VKEmfacsList Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal buffer As LongPtr) As Long
Public Declare PtrSafe Function VKTimevarsList Lib "VORKABCOM.dll" (ByVal kind As Long, _
    ByVal first As Long, ByVal buffer As LongPtr) As Long
Public Declare PtrSafe Function VKSubgrpsList Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal buffer As LongPtr) As Long
Public Declare PtrSafe Function VKVehiclesList Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal buffer As LongPtr) As Long
Public Declare PtrSafe Function VKRoadVehiclesList Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal buffer As LongPtr) As Long
Public Declare PtrSafe Function VKRoadtypesList Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal buffer As LongPtr) As Long
Public Declare PtrSafe Function VKCompaniesList Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal buffer As LongPtr) As Long
Public Declare PtrSafe Function VKFacilitiesList Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal buffer As LongPtr) As Long
Public Declare PtrSafe Function VKGridsList Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal buffer As LongPtr) As Long

' ---- EDB resources
Public Declare PtrSafe Function VKEdbRsrcLoad Lib "VORKABCOM.dll" () As Long
Public Declare PtrSafe Function VKEdbRsrcSave Lib "VORKABCOM.dll" () As Long
Public Declare PtrSafe Function VKEdbSpeedList Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal buffer As LongPtr) As Long
Public Declare PtrSafe Function VKEdbTemperatureList Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal buffer As LongPtr) As Long
Public Declare PtrSafe Function VKEdbScenarioList Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal buffer As LongPtr) As Long
Public Declare PtrSafe Function VKEdbUnitSubList Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal buffer As LongPtr) As Long
Public Declare PtrSafe Function VKEdbUnitSubGrpList Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal buffer As LongPtr) As Long
Public Declare PtrSafe Function VKEdbUnitSubGrpEmList Lib "VORKABCOM.dll" (ByVal first As Long, _
    ByVal buffer As LongPtr) As Long

' ---- verification, substance update and merge check: 1 passed, 0 the
' error list holds entries, -1 failure
Public Declare PtrSafe Function VKUpdateSub Lib "VORKABCOM.dll" () As Long
Public Declare PtrSafe Function VKVerifySub Lib "VORKABCOM.dll" () As Long
Public Declare PtrSafe Function VKMergeCheck Lib "VORKABCOM.dll" () As Long
Public Declare PtrSafe Function VKVerifyCompany Lib "VORKABCOM.dll" () As Long
Public Declare PtrSafe Function VKVerifyFacility Lib "VORKABCOM.dll" () As Long
Public Declare PtrSafe Function VKVerifySource Lib "VORKABCOM.dll" () As Long
Public Declare PtrSafe Function VKVerifyRoad Lib "VORKABCOM.dll" (ByVal sheet As LongPtr) As Long
Public Declare PtrSafe Function VKVerifyGrid Lib "VORKABCOM.dll" (ByVal sheet As LongPtr) As Long

' ---- the spreadsheet host's C API entry point (for hosts, not for macros)
Public Declare PtrSafe Sub SetExcel12EntryPt Lib "VORKABCOM.dll" (ByVal entry As LongPtr)

' ---- helpers

' A String of n characters for the DLL to fill (pass StrPtr of it).
Public Function VKBuffer(ByVal n As Long) As String
    VKBuffer = String$(n, vbNullChar)
End Function

' The text the DLL wrote into a buffer: everything before the first NUL.
Public Function VKText(ByVal buffer As String) As String
    Dim n As Long
    n = InStr(buffer, vbNullChar)
    If n = 0 Then VKText = buffer Else VKText = Left$(buffer, n - 1)
End Function

' The reason for the latest failure; empties it in the DLL.
Public Function VKLastError() As String
    Dim buffer As String
    buffer = String$(10240, vbNullChar)
    VKError buffer, Len(buffer)
    VKLastError = VKText(buffer)
End Function
