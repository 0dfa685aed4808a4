#!/usr/bin/env python3
"""Writes the seed corpora of the fuzzers (fuzz/corpus/<target>/).

Seeds are small, readable inputs that reach each rule once: run this after
changing the input format of a fuzzer. Texts are GBK bytes.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
STRAIGHT = "直选".encode("gbk")
GROUP = "组选".encode("gbk")
FLT = "过滤".encode("gbk")


def cond(table, rng, mode=STRAIGHT):
    return mode + b":" + table + b":" + rng


GRID = b"0=" + b" ".join(b"%02d" % c for c in range(100) if c not in (12, 21, 37, 73)) + \
    b",1=12 21,2=37 73," + b",".join(b"%d=" % s for s in range(3, 101))

CONDITION = {
    "edge_example": cond(b"0=00 01 02,1=12 21,2=", b"2-48") + b"\x00121\x00" + b"1212\x00",
    "edge_fails": cond(b"0=00 01 02,1=12 21,2=", b"3-48") + b"\r\n\x00121",
    "tolerance_semicolons": b"E|0-1;" + cond(b"1=12 21", b"2-48") + b";" + cond(b"5=12", b"0-3") + b"\x00121\x00" + b"0000",
    "tolerance_breaks": b"E|1-2\r\n" + cond(b"1=12", b"0-0") + b"\r\n" + cond(b"1=23", b"0-0") + b"\n" + cond(b"9=34", b"0-0") + b"\r\x00" + b"1234\x00" + b"5678",
    "super_tolerance": b"S|0-1\r\nE|0-1\r\n" + cond(b"1=12", b"0-9") + b"\x00" + b"12",
    "only_tolerance": b"E|0-0",
    "blank": b" \r\n\t\r\n",
    "grid_text": cond(GRID, b"2-48") + b"\r\n\x00" + b"12345\x00" + b"37373\x00" + b"99999",
    "leftover_code": cond(b"5=12 21 3", b"0-100") + b"\x00" + b"1213",
    "group_without_eq": cond(b"5=12,21", b"0-100") + b"\x00" + b"2112",
    "empty_table": cond(b"=12 21", b"0-0") + b"\x00" + b"1221",
    "score_wraps": cond(b"300=12,-1=21", b"0-1000") + b"\x00" + b"121",
    "first_group_wins": cond(b"5=12,9=12", b"5-5") + b"\x00" + b"12",
    "range_single": cond(b"9=12", b"18") + b"\x00" + b"1212",
    "range_negative": cond(b"9=12", b"-1-5"),
    "range_empty": cond(b"9=12", b"10-5") + b"\x00" + b"12",
    "no_colon": b"5" + b"\x00" + b"12",
    "mode_group": cond(b"9=12", b"0-0", GROUP) + b"\x00" + b"1212",
    "mode_blank": cond(b"9=12", b"0-0", STRAIGHT + b" ") + b"\x00" + b"12",
    "bad_bets": cond(b"1=12", b"0-5") + b"\x00 12\x00+12\x00-12\x00" + b"12a\x00" + b"\xd6\xb1\x00" + b"1\xff2\x00\x00" + b"7",
    "long_bet": cond(b"255=11", b"0-2147483647") + b"\x00" + b"1" * 3000,
    "huge_tolerance": b"E|0-99999999999;" + cond(b"1=12", b"0-0") + b"\x00" + b"121212",
    "bad_tolerance": b"E|x-1;" + cond(b"1=12", b"0-0") + b"\x00" + b"12",
    "past_32_bits": cond(b"4294967301=12", b"0-4294967296") + b"\x00" + b"12",
    "many_colons": cond(b"1=12", b":" * 64 + b"0-5"),
    "many_equals": cond(b"5=" + b"12=" * 40, b"0-1000") + b"\x00" + b"121",
    "many_conditions": b";".join(cond(b"%d=%02d" % (i % 7, i % 100), b"0-%d" % (i % 5)) for i in range(60)) + b"\x00" + b"0123456789",
}

INI = {
    "new_file": b"\x00S\x00k\x00v\x00",
    "replace": b"\x03S\x00k\x00new\x00[S]\r\nk=1\r\nother=2\r\n",
    "case_of_section": b"\x00ABC\x00k\x00x\x00[Abc]\r\nk=1",
    "blank_in_key": b"\x00Abc\x00k\x00x\x00[Abc]\r\nk = 1\r\n",
    "indented_header": b"\x00Abc\x00k\x00x\x00 [Abc]\r\nk=1\r\n",
    "empty_line_ends_body": b"\x00S\x00b\x003\x00[S]\r\na=1\r\n\r\nb=2\r\n",
    "next_header_ends_body": b"\x00S\x00c\x003\x00[S]\r\na=1\r\n[T]\r\nc=2\r\n",
    "value_with_eq": b"\x02S\x00k\x00x=y=z\x00[S]\r\nk=x=y\r\n",
    "two_headers": b"\x01S\x00k\x00v\x00[S]\r\nk=1\r\n[s]\r\nk=2\r\n",
    "header_last": b"\x00S\x00k\x00v\x00[T]\r\na=1\r\n[S]",
    "lone_cr_lf": b"\x00S\x00k\x00v\x00[S]\ra=1\nb=2\r\n\n\r[T]\rc=3",
    "no_final_break": b"\x03\x00\x00\x00[S]\r\nk=1",
    "binary": b"\x07\x00\x00\x00" + bytes(range(1, 256)) + b"\x00tail",
    "filter_file": b"\x03" + FLT + b"\x00" + "过滤设置".encode("gbk") + b"\x00E|0-1;" + cond(b"1=12", b"0-5") + b"\x00[" + FLT + b"]\r\n" + "过滤设置".encode("gbk") + b"=E|0-0;" + cond(b"1=12", b"0-5") + b"\r\n",
    "fields_only_file": b"\x00[S]\r\nk=1\r\n",
}

DICT_CONDITION = [STRAIGHT, GROUP, b":", b"=", b",", b"-", b";", b"\r\n", b"\r", b"\n", b"E|", b"S|", b"e|",
                  b"0=", b"00 01 02", b"12 21", b"2147483647", b"2147483648", b"4294967296", b"999999", b" ", b"+", b"\x00"]
DICT_INI = [b"[", b"]", b"=", b"\r\n", b"\r", b"\n", b"\x00", FLT, b"[" + FLT + b"]", b"[S]", b"k=", b";"]


def esc(b):
    return "".join(chr(c) if 32 <= c < 127 and c not in (34, 92) else "\\x%02X" % c for c in b)


def write(target, seeds, words):
    d = os.path.join(HERE, "corpus", target)
    os.makedirs(d, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(d, name), "wb") as f:
            f.write(data)
    os.makedirs(os.path.join(HERE, "dict"), exist_ok=True)
    with open(os.path.join(HERE, "dict", target + ".dict"), "w") as f:
        f.write("# Tokens of the input format; see fuzz/make_seeds.py.\n")
        for w in words:
            f.write('"%s"\n' % esc(w))




def dialog(a=b"", b=b"", table=b""):
    """Code texts a and b (CodesUnion/CodesMinus, and the picker's
    SetAvailable(a) and SetSelected(b)), then the grid's score table."""
    return a + b"\x00" + b + b"\x00" + table


ALL_CODES = b" ".join(b"%02d" % c for c in range(100))

DIALOG = {
    "edge_examples": dialog(b"05 01", b"01 99", b"0=00 01,5=12 21"),
    "minus_example": dialog(b"00 01 02", b"01", b"5="),
    "picker_example": dialog(b"00 12 21", b"12 21", b"0=00 01 02,3=12,4=50"),
    "picker_digits_only": dialog(b"00 12 21", b"1221", b"9=12,21"),
    "picker_commas": dialog(b"00 12 21 99", b"12,21;99 00", b"100=99"),
    "picker_unavailable": dialog(b"00 12", b"35", b"=5,6=12"),
    "grid_written": dialog(ALL_CODES, ALL_CODES, GRID),
    "grid_reset": dialog(ALL_CODES, b"", b"0=" + ALL_CODES + b"," + b",".join(b"%d=" % s for s in range(1, 101))),
    "grid_blanks": dialog(b" 00 01 ", b" 7 +8 -0", b" 0=00 02 , 7=05 06 07,\r\n3=01 ,,"),
    "grid_ignored": dialog(b"123 -1 99", b"12  21", b"150=33,6=34,5=12 123,0=01,00=12,101=1,-3=12,5=12  21,5= 12,5=12 2,0=-1"),
    "grid_raises": dialog(b"12 ab", b"x", b"6=33,x=1,7=44"),
    "grid_raises_codes": dialog(b"99999999999", b"1", b"8=12 ab"),
    "grid_control_chars": dialog(b"12\t21", b"\x01\x02", b"5=12\t21,6=01\x0102,\t7=03\t"),
    "grid_zero_byte": dialog(b"", b"", b"5=12\x00,6=21"),
    "score_past_32_bits": dialog(b"", b"", b"4294967301=12,+5=13,05=14,5 =15"),
    "no_equals": dialog(b"", b"", b"12 21"),
    "gbk": dialog("一二".encode("gbk"), b"\xff\xfe12", b"5=" + "三".encode("gbk")),
    "select_all": dialog(ALL_CODES, ALL_CODES, b"0=,1=" + ALL_CODES),
}

DICT_DIALOG = [b"\x00", b"=", b",", b" ", b"0=", b"5=", b"100=", b"00", b"99", b"12 21", b"\r\n",
               b"\t", b"+", b"-", ALL_CODES[:29]]

write("condition_fuzzer", CONDITION, DICT_CONDITION)
write("inifile_fuzzer", INI, DICT_INI)
write("dialog_text_fuzzer", DIALOG, DICT_DIALOG)
