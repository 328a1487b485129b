class Bom { String s = "•\ƒ\"; }
class Cr {}class Lf {}