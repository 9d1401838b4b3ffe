' Late binding by name, as a script host does: properties, list conversions, error 380.
Option Explicit
Dim f, p, q, d
Set f = CreateObject("FoldrixCtl.Foldrix")
WScript.Echo "View=" & f.View
f.View = 3
WScript.Echo "View=" & f.View
f.Filter = "*.txt"
WScript.Echo "Filter=" & f.Filter
p = f.PIDLFromPath("C:\windows")
WScript.Echo "Path=" & f.PathFromPIDL(p)
q = f.GetParentPIDL(p)
WScript.Echo "Parent=" & f.PathFromPIDL(q)
f.FreePIDL p
f.FreePIDL q
d = CDbl(f.SpecialFolderPIDL(0))
WScript.Echo "Desktop=" & f.DisplayNameFromPIDL(d)
f.FreePIDL d
f.Folder = "C:\windows"
f.Folder = 17
If f.DisplayNameFromPIDL(f.Folder) = "" Then WScript.Quit 2
On Error Resume Next
f.View = 7
WScript.Echo "Err=" & Err.Number & " " & Err.Description
If f.View <> 3 Then WScript.Quit 3
On Error GoTo 0
WScript.Echo "Done"
