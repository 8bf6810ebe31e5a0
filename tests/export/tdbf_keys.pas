{ Prints the key of every record of a dBase table in the order of one
  index tag of its production .MDX, read by Free Pascal's TDbf.
  Usage: tdbf_keys TABLE.DBF TAG FIELD }
program tdbf_keys;
{$mode objfpc}{$H+}
uses SysUtils, db, dbf;
var
  t: TDbf;
begin
  t := TDbf.Create(nil);
  try
    t.FilePathFull := ExtractFilePath(ParamStr(1));
    t.TableName := ExtractFileName(ParamStr(1));
    t.ReadOnly := True;
    t.Open;
    t.IndexName := ParamStr(2);
    t.First;
    while not t.EOF do
    begin
      WriteLn(t.FieldByName(ParamStr(3)).AsString);
      t.Next;
    end;
    t.Close;
  finally
    t.Free;
  end;
end.
