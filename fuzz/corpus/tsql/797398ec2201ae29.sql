 Update t_Cust Set FCurrencyID=2,FSELowPrice=99
 Where  FBrNo='0' and FItemID=1098 and FCustID=1022
Update t_ICItem SET FSalePriceFixingType=0 Where FItemID=1098