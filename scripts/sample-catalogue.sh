#!/bin/bash
# Makes a small sample shop in DIR for screenshots and for trying ZEP out:
#   DIR/program/   program directory with CNCPRG.mdb (three machines, nine
#                  records, maintenance of which one task is due)
#   DIR/Programme/ the monitored directory with the program files
#   DIR/Fotos/     photos of some records
#   DIR/config/    ZEP.ini (connections 1 and 2 on DIR/com1, DIR/com2; their
#                  machine ends DIR/m1, DIR/m2 are the caller's to make)
#   DIR/Sicherung/ the backup directory
# Usage: sample-catalogue.sh ZEP_EXECUTABLE DIR
set -euo pipefail
ZEP=$1 DIR=$2
mkdir -p "$DIR/program" "$DIR/Programme/DREHEN" "$DIR/Programme/FRAESEN" "$DIR/Fotos" "$DIR/config" "$DIR/Sicherung"
DB="$DIR/program/CNCPRG.mdb"
rm -f "$DB"
"$ZEP" --create-database "$DB"

days_ago() { date -d "-$1 days" '+%Y-%m-%d 07:30:00'; }

# Maschinen: designation, location, RS-232, end code by character (Param1) or
# by time-out, line parameters, maintenance (interval 1 daily ... 5 yearly).
sqlite3 "$DB" <<SQL
INSERT INTO Maschinen (Maschinennummer, Bezeichnung, Standort, MitRS232, Sonderzeichen, Param1, Param2, Param3,
  ECRzu, ELFzu, SCRzu, SLFzu, EXON, SXON, Baudrate, COMString,
  WartungsArt1, WartStart1, WartText1, WartungsArt2, WartStart2, WartText2, WartungsArt3, WartStart3, WartText3)
VALUES
 (1, 'Drehmaschine DM 2', 'Halle 1', 1, 1, '26', '', 'A', 0, 0, 0, 0, 0, 0, '6', '7,E,2',
  2, '$(days_ago 9)', 'Kühlschmierstoff prüfen und nachfüllen', 4, '$(days_ago 20)', 'Backenfutter reinigen und fetten',
  0, NULL, ''),
 (2, 'Bearbeitungszentrum BZ 4', 'Halle 1', 1, 1, '26', '', 'A', 0, 0, 0, 0, 0, 0, '8', '8,N,1',
  3, '$(days_ago 31)', 'Späneförderer reinigen', 5, '$(days_ago 100)', 'Spindel-Rundlauf messen', 0, NULL, ''),
 (3, 'Fräsmaschine FM 1', 'Halle 2', 0, 0, '', '', '', 0, 0, 0, 0, 0, 0, '6', '8,N,1',
  0, NULL, '', 0, NULL, '', 0, NULL, '');
SQL

# Records: file, designation, drawing, order, customer, date, set-up, tools,
# run time, author, remarks, machine.
add_record() {
    local file=$1
    mkdir -p "$(dirname "$DIR/Programme/$file")"
    printf '%%\r\nO1000 (%s)\r\nN10 G90 G54 G17\r\nN20 T1 M6\r\nN30 S1800 M3\r\nN40 G0 X0 Y0 Z5\r\nN50 G1 Z-2 F120\r\nN60 X40 F300\r\nN70 G0 Z50\r\nN80 M30\r\n%%\r\n' \
        "$2" > "$DIR/Programme/$file"
    local name
    name=$(echo "$file" | tr 'a-z/' 'A-Z\\')
    sqlite3 "$DB" "INSERT INTO DateiListe (Dateiname, Bezeichnung, Zeichnungsnummer, Auftragsnummer, Kunde, Datum,
        Aufspannung, Werkzeuge, Laufzeit, Ersteller, Bemerkungen, MaschinenIndex)
        VALUES ('$name', '$2', '$3', '$4', '$5', '$(days_ago "$6")', '$7', '$8', '$9', '${10}', '${11}', ${12});"
}
add_record DREHEN/WELLE_4711.NC 'Antriebswelle Ø 40' 'Z-4711-03' 'A-26-0815' 'Müller Antriebstechnik GmbH' 3 \
    'Spannzange 40, Reitstock mitlaufend' 'T1 Schruppen 80°, T2 Schlichten 35°, T5 Einstich 3 mm' '4:30' 'K. Berger' \
    'Rundlauf nach 20 Teilen prüfen' 1
add_record DREHEN/FLANSCH_220.NC 'Flansch DN 50' 'Z-220-01' 'A-26-0822' 'Schäfer Pumpen KG' 12 \
    'Dreibackenfutter, weiche Backen' 'T1, T3 Bohrstange 20, T7 Gewinde M8' '6:10' 'K. Berger' '' 1
add_record DREHEN/BOLZEN_12.NC 'Lagerbolzen 12h6' 'Z-0012-07' 'A-26-0790' 'Müller Antriebstechnik GmbH' 40 \
    'Stangenlader, Spannzange 16' 'T1, T2, T4 Abstechen 3 mm' '1:05' 'S. Yilmaz' 'Stangenmaterial 16 mm' 1
add_record FRAESEN/GEHAEUSE_A12.NC 'Getriebegehäuse Deckel' 'G-A12-02' 'A-26-0801' 'Schäfer Pumpen KG' 6 \
    'Schraubstock 125, Anschlag links' 'T11 Planfräser 63, T14 Schaftfräser 12, T21 Bohrer 8,5' '18:40' 'M. Wagner' \
    'Zweite Aufspannung: Programm GEHAEUSE_A12B' 2
add_record FRAESEN/PLATTE_0815.NC 'Grundplatte 300 × 200' 'G-0815-00' 'A-26-0833' 'Hofmann Maschinenbau' 1 \
    'Spannpratzen auf Maschinentisch' 'T11, T15 Schaftfräser 16, T22 Bohrer 10,2, T30 Gewinde M12' '32:00' 'M. Wagner' '' 2
add_record FRAESEN/HALTER_77.NC 'Sensorhalter' 'G-0077-04' 'A-26-0760' 'Hofmann Maschinenbau' 55 \
    'Schraubstock 100' 'T14, T21' '7:20' 'S. Yilmaz' '' 3
add_record FRAESEN/NUTENSTEIN.NC 'Nutenstein 14 mm' 'G-0014-01' 'Lager' 'eigene Fertigung' 120 \
    'Spannvorrichtung 8-fach' 'T16 Schaftfräser 10' '2:00' 'M. Wagner' '8 Stück je Aufspannung' 3
add_record ADAPTER_3.NC 'Adapterring' 'Z-0003-02' 'A-26-0841' 'Schäfer Pumpen KG' 0 \
    'Dreibackenfutter' 'T1, T2' '3:15' 'K. Berger' '' 0
add_record PROBE.NC 'Probelauf Spindel' '' '' '' 200 '' '' '' 'S. Yilmaz' '' 0

# Photos: made-up pictures of the set-up and the part.
photo() {
    local file=$1 colour=$2 label=$3
    convert -size 800x600 gradient:'#e4e8ee'-'#8792a2' \
        -fill '#5b6470' -draw 'rectangle 80,380 720,560' \
        -fill "$colour" -draw 'roundrectangle 220,180 580,400 20,20' \
        -fill '#c9ced6' -draw 'circle 400,290 400,220' \
        -fill '#2d3440' -font /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf -pointsize 36 -annotate +40+70 "$label" \
        -quality 82 "$DIR/Fotos/$file"
}
photo Foto_DREHEN-WELLE_4711.NC_1.jpg '#a5adb8' 'Aufspannung'
photo Foto_DREHEN-WELLE_4711.NC_2.jpg '#b8a588' 'Fertigteil'
photo Foto_DREHEN-WELLE_4711.NC_3.jpg '#8fa5b8' 'Werkzeuge'
photo Foto_FRAESEN-GEHAEUSE_A12.NC_1.jpg '#9aa88f' 'Schraubstock'
photo Foto_FRAESEN-GEHAEUSE_A12.NC_2.jpg '#a88f9a' 'Deckel fertig'
photo Foto_DREHEN-FLANSCH_220.NC_1.jpg '#b0b0b0' 'Flansch'

cat > "$DIR/config/ZEP.ini" <<INI
[Settings]
Verzeichnis=$DIR/Programme/
FotoVerzeichnis=$DIR/Fotos/
Intervall=5
JPGQualitaet=80
BackupDir=$DIR/Sicherung/
HideWizSide1=0

[SizeOfForm1]
Width=1100
Height=640
Left=90
Top=40

# Column widths that let every column show in that window.
[GridWidthForm1Grid1]
Col0=175
Col1=200
Col2=105
Col3=100
Col4=195
Col5=85
Col6=0
Col7=190
Col8=0

[Vorgaben]
F1=Müller Antriebstechnik GmbH
F2=Schäfer Pumpen KG
F3=Hofmann Maschinenbau
F4=Schraubstock 125
F5=Dreibackenfutter
F6=K. Berger
F7=M. Wagner
F8=Erstteil vermessen

[Schnittstellen]
COM1=$DIR/com1
COM2=$DIR/com2

[COM0Einstellungen]
Einstellungen=9600,E,7,2
COM-Anschluß=1
Handshaking=1
Aktiviert=True
MaschinenIndex=1
Puffer=256
EndCode=<SA>26

[COM1Einstellungen]
Einstellungen=19200,N,8,1
COM-Anschluß=2
Handshaking=1
Aktiviert=True
MaschinenIndex=2
Puffer=1024
EndCode=<SA>26
INI
echo "sample shop in $DIR"
