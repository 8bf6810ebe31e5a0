{ Independent reader and writer of dBase IV tables with production indexes,
  built on Free Pascal's TDbf, for the tests of our engine.

  tdbf_oracle tags    FILE.DBF                 one line per tag: name TAB expression TAB options
  tdbf_oracle iterate FILE.DBF TAG [fields]    one line per live record in index order
                                               (TAG "-": physical order): record number,
                                               then TAB and each field's text in hex
  tdbf_oracle find    FILE.DBF TAG KEYHEX...   one line per key: record number of the
                                               exact match or "-"; numeric tags take
                                               the number's text in hex
  tdbf_oracle create  FILE.DBF LAYOUT            creates a table and its .MDX from LAYOUT:
      ldid N                  language driver (decimal)
      field NAME C|N|F|L|D SIZE DEC
      index FIELD [desc] [unique]
      row HEX HEX ...         one hex value per field ("-" = left empty)

  On a case-sensitive file system TDbf looks for FILE.MDX only when the whole
  path is upper case, else for FILE.mdx. Readers therefore open the table
  through links in a private folder (FILE.mdx -> the index in either case);
  create writes FILE.MDX when FILE ends in .DBF, FILE.mdx otherwise. }
program tdbf_oracle;

{$mode objfpc}{$H+}

uses
  SysUtils, Classes, BaseUnix, DB, dbf, dbf_common, dbf_fields;

function HexToStr(const h: string): string;
var
  i: integer;
begin
  Result := '';
  if h = '-' then exit;
  i := 1;
  while i < Length(h) do
  begin
    Result := Result + Chr(StrToInt('$' + Copy(h, i, 2)));
    Inc(i, 2);
  end;
end;

function StrToHex(const s: string): string;
var
  i: integer;
begin
  Result := '';
  for i := 1 to Length(s) do
    Result := Result + IntToHex(Ord(s[i]), 2);
end;

type
  // Tables under OEM drivers would open read-only (TDbf cannot translate
  // them here); the tests hand over raw code-page bytes, so keep them as they are.
  TLanguageHandler = class
    procedure Warning(Sender: TDbf; var Action: TDbfLanguageAction);
  end;

procedure TLanguageHandler.Warning(Sender: TDbf; var Action: TDbfLanguageAction);
begin
  Action := laForceANSI;
end;

var
  LinkDir: string = '';
  Handler: TLanguageHandler;

function IndexFileOf(const fileName: string): string;
begin
  Result := ChangeFileExt(fileName, '.MDX');
  if not FileExists(Result) then Result := ChangeFileExt(fileName, '.mdx');
end;

function OpenTable(const fileName: string; readOnly: boolean): TDbf;
var
  full, base: string;
begin
  full := ExpandFileName(fileName);
  base := ChangeFileExt(ExtractFileName(full), '');
  LinkDir := IncludeTrailingPathDelimiter(GetTempDir(false)) + 'tdbf_oracle_' + IntToStr(FpGetPid);
  ForceDirectories(LinkDir);
  LinkDir := IncludeTrailingPathDelimiter(LinkDir);
  DeleteFile(LinkDir + base + '.dbf');
  DeleteFile(LinkDir + base + '.mdx');
  if fpSymlink(PChar(full), PChar(LinkDir + base + '.dbf')) <> 0 then
    raise Exception.Create('cannot link ' + full);
  if FileExists(IndexFileOf(full)) then
    fpSymlink(PChar(IndexFileOf(full)), PChar(LinkDir + base + '.mdx'));
  Result := TDbf.Create(nil);
  Result.FilePathFull := LinkDir;
  Result.TableName := base + '.dbf';
  Result.ReadOnly := readOnly;
  Result.OnLanguageWarning := @Handler.Warning;
  Result.Open;
end;

procedure RemoveLinks;
var
  sr: TSearchRec;
begin
  if LinkDir = '' then exit;
  if FindFirst(LinkDir + '*', faAnyFile, sr) = 0 then
  begin
    repeat
      if (sr.Name <> '.') and (sr.Name <> '..') then DeleteFile(LinkDir + sr.Name);
    until FindNext(sr) <> 0;
    FindClose(sr);
  end;
  RemoveDir(LinkDir);
end;

procedure ListTags(const fileName: string);
var
  t: TDbf;
  i: integer;
  opts: string;
begin
  t := OpenTable(fileName, true);
  t.UpdateIndexDefs;
  for i := 0 to t.IndexDefs.Count - 1 do
  begin
    opts := '';
    if ixDescending in t.IndexDefs[i].Options then opts := opts + 'desc ';
    if ixUnique in t.IndexDefs[i].Options then opts := opts + 'unique ';
    WriteLn(t.IndexDefs[i].Name, #9, t.IndexDefs[i].Expression, #9, Trim(opts));
  end;
  WriteLn('ldid ', t.LanguageID);
  t.Close;
  t.Free;
end;

procedure Iterate(const fileName, tag: string; withFields: boolean);
var
  t: TDbf;
  i: integer;
  line: string;
begin
  t := OpenTable(fileName, true);
  if tag <> '-' then t.IndexName := tag;
  t.First;
  while not t.EOF do
  begin
    line := IntToStr(t.PhysicalRecNo);
    if withFields then
      for i := 0 to t.FieldCount - 1 do
        line := line + #9 + StrToHex(t.Fields[i].AsString);
    WriteLn(line);
    t.Next;
  end;
  t.Close;
  t.Free;
end;

{ Character keys go in as the table's own bytes (SearchKeyPChar without
  translation: SearchKey would translate them and finds nothing in tables of
  OEM drivers); numeric keys as numbers. }
procedure Find(const fileName, tag: string; firstKey: integer);
var
  t: TDbf;
  i: integer;
  key: string;
  field: TField;
  found: boolean;
begin
  t := OpenTable(fileName, true);
  t.IndexName := tag;
  t.UpdateIndexDefs;
  field := nil;
  for i := 0 to t.IndexDefs.Count - 1 do
    if SameText(t.IndexDefs[i].Name, tag) then field := t.FindField(t.IndexDefs[i].Expression);
  for i := firstKey to ParamCount do
  begin
    key := HexToStr(ParamStr(i));
    if (field <> nil) and (field.DataType in [ftString, ftFixedChar, ftWideString]) then
      found := t.SearchKeyPChar(PChar(key), stEqual, false)
    else
      found := t.SearchKey(key, stEqual);
    if found then
      WriteLn(t.PhysicalRecNo)
    else
      WriteLn('-');
  end;
  t.Close;
  t.Free;
end;

procedure CreateTable(const fileName, specFile: string);
var
  layout, parts: TStringList;
  defs: TDbfFieldDefs;
  t: TDbf;
  i, f: integer;
  ldid: integer;
  opts: TIndexOptions;
  def: TDbfFieldDef;
  value: string;
begin
  layout := TStringList.Create;
  layout.LoadFromFile(specFile);
  parts := TStringList.Create;
  parts.Delimiter := ' ';
  parts.StrictDelimiter := true;
  defs := TDbfFieldDefs.Create(nil);
  ldid := $57;
  for i := 0 to layout.Count - 1 do
  begin
    parts.DelimitedText := layout[i];
    if parts.Count = 0 then continue;
    if parts[0] = 'ldid' then ldid := StrToInt(parts[1])
    else if parts[0] = 'field' then
    begin
      def := defs.AddFieldDef;
      def.FieldName := parts[1];
      def.NativeFieldType := parts[2][1];
      def.Size := StrToInt(parts[3]);
      def.Precision := StrToInt(parts[4]);
    end;
  end;
  t := TDbf.Create(nil);
  t.FilePathFull := ExtractFilePath(ExpandFileName(fileName));
  t.TableName := ExtractFileName(fileName);
  t.TableLevel := 4;
  t.LanguageID := ldid;
  t.CreateTableEx(defs);
  t.Exclusive := true;
  t.OnLanguageWarning := @Handler.Warning;
  t.Open;
  for i := 0 to layout.Count - 1 do
  begin
    parts.DelimitedText := layout[i];
    if (parts.Count = 0) or (parts[0] <> 'index') then continue;
    opts := [];
    for f := 2 to parts.Count - 1 do
      if parts[f] = 'desc' then Include(opts, ixDescending)
      else if parts[f] = 'unique' then Include(opts, ixUnique);
    t.AddIndex(parts[1], parts[1], opts);
  end;
  for i := 0 to layout.Count - 1 do
  begin
    parts.DelimitedText := layout[i];
    if (parts.Count = 0) or (parts[0] <> 'row') then continue;
    t.Append;
    for f := 1 to parts.Count - 1 do
    begin
      value := HexToStr(parts[f]);
      if parts[f] <> '-' then t.Fields[f - 1].AsString := value;
    end;
    t.Post;
  end;
  t.Close;
  t.Free;
  if (ExtractFileExt(fileName) = '.DBF') and FileExists(ChangeFileExt(ExpandFileName(fileName), '.mdx')) then
    RenameFile(ChangeFileExt(ExpandFileName(fileName), '.mdx'), ChangeFileExt(ExpandFileName(fileName), '.MDX'));
  defs.Free;
  parts.Free;
  layout.Free;
end;

begin
  Handler := TLanguageHandler.Create;
  try
    if ParamCount < 2 then
      raise Exception.Create('usage: tdbf_oracle tags|iterate|find|create FILE.DBF ...');
    if ParamStr(1) = 'tags' then ListTags(ParamStr(2))
    else if ParamStr(1) = 'iterate' then Iterate(ParamStr(2), ParamStr(3), (ParamCount >= 4) and (ParamStr(4) = 'fields'))
    else if ParamStr(1) = 'find' then Find(ParamStr(2), ParamStr(3), 4)
    else if ParamStr(1) = 'create' then CreateTable(ParamStr(2), ParamStr(3))
    else raise Exception.Create('unknown command ' + ParamStr(1));
    RemoveLinks;
  except
    on e: Exception do
    begin
      RemoveLinks;
      WriteLn(StdErr, 'tdbf_oracle: ', e.Message);
      Halt(2);
    end;
  end;
end.
