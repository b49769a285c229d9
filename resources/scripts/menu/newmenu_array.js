timegap=500
followspeed=5
followrate=40
suboffset_top=10;
suboffset_left=10;

effect = "fade(duration=1);Shadow(color='#777777', Direction=135, Strength=5)"

function openwin(url)
{
	nwin=window.open(url, "nwin",config="scrollbars=yes,resizable=yes,toolbar=yes,location=yes,status=yes,menubar=yes,"); 
	nwin.focus();
}

config=[					// prop1 is an array of properties you can have as many property arrays as you need
"FFFFFF",					// Off Font Color
"808080",					// Off Back Color
"000000",					// On Font Color
"C0C0C0",					// On Back Color
"000000",					// Border Color
9,						// Font Size
"normal",					// Font Style
"normal",					// Font Weight
"verdana,tahoma,helvetica",			// Font
3,						// Padding
"arrow.gif",					// Sub Menu Image
0,						// 3D Border & Separator
"66ffff",					// 3D High Color 
"000099",					// 3D Low Color
"",						// Referer item Font Color (leave this blank to disable)
"",						// Referer item Back Color (leave this blank to disable)
]

menu1=[0,0,80,1,"left",config,1,"left",,,1,,,,,
"Title","",,,1
]

